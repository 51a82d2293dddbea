// The History window.
#include "gui/history_dlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <ctime>

#include "gui/qt_text.h"
#include "data/fs.h"
#include "tools/undo.h"

using namespace barvane;

namespace {

QString TimeText(std::int64_t seconds) {
  const auto time = static_cast<std::time_t>(seconds);
  std::tm local{};
  char text[32] = "";
  if (LocalTime(time, &local)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return QString::fromLatin1(text);
}

}  // namespace

CHistoryDlg::CHistoryDlg(History& history, std::string dir, Step step, QWidget* parent)
    : QDialog(parent),
      m_history(history),
      m_dir(std::move(dir)),
      m_step(std::move(step)),
      m_list(new QTreeWidget(this)),
      m_undo(new QPushButton(QStringLiteral("&Undo to here"), this)),
      m_redo(new QPushButton(QStringLiteral("&Redo to here"), this)) {
  setWindowTitle(QStringLiteral("History"));
  auto* heading = new QLabel(QStringLiteral("Changes to ") + FromPath(m_dir) + QStringLiteral(", newest first:"), this);
  m_list->setColumnCount(3);
  m_list->setHeaderLabels({QStringLiteral("Time"), QStringLiteral("Change"), QStringLiteral("Command")});
  m_list->setRootIsDecorated(false);
  m_list->setAllColumnsShowFocus(true);
  m_list->setSelectionMode(QAbstractItemView::SingleSelection);
  m_list->header()->setStretchLastSection(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->addButton(m_undo, QDialogButtonBox::ActionRole);
  buttons->addButton(m_redo, QDialogButtonBox::ActionRole);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(m_undo, &QPushButton::clicked, this, [this] { StepToSelected(true); });
  connect(m_redo, &QPushButton::clicked, this, [this] { StepToSelected(false); });
  connect(m_list, &QTreeWidget::currentItemChanged, this, &CHistoryDlg::UpdateButtons);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading);
  layout->addWidget(m_list, 1);
  layout->addWidget(buttons);
  resize(760, 360);
  Reload();
}

void CHistoryDlg::Reload() {
  const Change* selected = Selected();
  const std::uint64_t keep = selected ? selected->id : 0;
  if (!m_history.List(m_dir, &m_changes)) m_changes.clear();
  m_list->clear();
  QTreeWidgetItem* current = nullptr;
  for (const Change& change : m_changes) {
    QString title = QString::fromStdString(ChangeTitle(change));
    if (change.undone) title += QStringLiteral(" (undone)");
    auto* item = new QTreeWidgetItem(
        m_list, {TimeText(change.time), title, QString::fromStdString(WordsText(change.words))});
    if (change.undone) {
      for (int c = 0; c < 3; ++c) item->setForeground(c, palette().brush(QPalette::Disabled, QPalette::Text));
    }
    if (change.id == keep || (!current && keep == 0 && !change.undone)) current = item;
  }
  if (!current && m_list->topLevelItemCount() > 0) current = m_list->topLevelItem(0);
  m_list->setCurrentItem(current);
  m_list->resizeColumnToContents(0);
  m_list->resizeColumnToContents(1);
  UpdateButtons();
}

const Change* CHistoryDlg::Selected() const {
  const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
  return row >= 0 && row < static_cast<int>(m_changes.size()) ? &m_changes[static_cast<std::size_t>(row)] : nullptr;
}

void CHistoryDlg::UpdateButtons() {
  const Change* change = Selected();
  m_undo->setEnabled(change && !change->undone);
  m_redo->setEnabled(change && change->undone);
}

void CHistoryDlg::StepToSelected(bool undo) {
  const Change* selected = Selected();
  if (!selected) return;
  const std::uint64_t target = selected->id;
  for (;;) {
    Change next;
    if (!(undo ? NextToUndo(m_history, m_dir, &next) : NextToRedo(m_history, m_dir, &next))) break;
    // Undo walks from the newest down, redo from the oldest undone up; past the target, stop.
    if (undo ? next.id < target : next.id > target) break;
    if (!m_step(undo) || next.id == target) break;
  }
  Reload();
}
