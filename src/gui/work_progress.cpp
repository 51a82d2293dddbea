// The progress window of long work, made on demand.
#include "gui/work_progress.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QProgressDialog>
#include <algorithm>
#include <memory>

namespace {

constexpr qint64 kShowAfterMs = 500;

struct Progress {
  QString label;
  QPointer<QWidget> owner;
  QElapsedTimer sinceFirstStep;
  std::unique_ptr<QProgressDialog> window;
  bool cancelled = false;

  bool Step(int done, int total) {
    // A value set after Cancel would show the window again.
    cancelled = cancelled || (window && window->wasCanceled());
    if (cancelled) return false;
    if (!sinceFirstStep.isValid()) sinceFirstStep.start();
    if (!window && sinceFirstStep.elapsed() < kShowAfterMs) return true;
    if (!window) {
      window = std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0, 1, owner);
      window->setWindowTitle(QStringLiteral("Barvane"));
      window->setWindowModality(Qt::ApplicationModal);
      window->setMinimumDuration(0);
    }
    const int maximum = std::max(total, 1);
    window->setMaximum(maximum);
    // A modal progress window takes the Cancel click while it sets its value.
    window->setValue(std::clamp(done, 0, maximum));
    cancelled = window->wasCanceled();
    return !cancelled;
  }
};

}  // namespace

std::function<bool(int, int)> WorkProgress(const QString& label, QWidget* owner) {
  auto progress = std::make_shared<Progress>();
  progress->label = label;
  progress->owner = owner;
  return [progress](int done, int total) { return progress->Step(done, total); };
}
