// Ui for the window.
#include "gui/qt_ui.h"

#include <QApplication>
#include <QMessageBox>
#include <QStatusBar>

#include "gui/qt_text.h"
#include "gui/scan_progress_dlg.h"

QtUi::QtUi(QWidget* owner, MessageHandler messages) : owner_(owner), messages_(std::move(messages)) {}

QString QtUi::Text(const std::string& text) const {
  return codePage_ ? FromMessage(*codePage_, text) : FromLatin1(text);
}

void QtUi::ShowMessage(const std::string& text, barvane::MessageIcon icon) {
  if (messages_) {
    messages_(text, icon);
    return;
  }
  QMessageBox box(owner_);
  box.setWindowTitle(QStringLiteral("Barvane"));
  box.setText(Text(text));
  switch (icon) {
    case barvane::MessageIcon::kStop: box.setIcon(QMessageBox::Critical); break;
    case barvane::MessageIcon::kWarning: box.setIcon(QMessageBox::Warning); break;
    case barvane::MessageIcon::kInformation: box.setIcon(QMessageBox::Information); break;
    case barvane::MessageIcon::kNone: break;
  }
  box.exec();
}

void QtUi::ShowNotice(const std::string& text) {
  // The status bar shows one line; the notice's own line ends would be lost there.
  if (statusBar_) statusBar_->showMessage(Text(text).replace(QLatin1Char('\n'), QLatin1Char(' ')));
}

bool QtUi::AskYesNo(const std::string& text) {
  if (questions_) return questions_(text);
  // Every question asks before something that cannot be taken back lightly: Enter answers No.
  return QMessageBox::question(owner_, QStringLiteral("Barvane"), Text(text),
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

barvane::Answer QtUi::AskYesNoCancel(const std::string& text) {
  if (choices_) return choices_(text);
  switch (QMessageBox::question(owner_, QStringLiteral("Barvane"), Text(text),
                                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel)) {
    case QMessageBox::Yes: return barvane::Answer::kYes;
    case QMessageBox::No: return barvane::Answer::kNo;
    default: return barvane::Answer::kCancel;
  }
}

void QtUi::ShowDone(const std::string& text) {
  if (statusBar_) statusBar_->showMessage(Text(text));
}

void QtUi::Beep() { QApplication::beep(); }

void QtUi::SetWaitCursor(bool on) {
  if (on) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void QtUi::BeginScan() {
  scanDialog_ = new CScanProgressDlg(owner_);
  scanDialog_->show();
  QApplication::processEvents();
}

bool QtUi::ShowScanProgress(const std::string& dir, int found) {
  if (!scanDialog_) return true;
  scanDialog_->SetProgress(FromPath(dir), found);
  // The window is application-modal: only its own Cancel button takes input meanwhile.
  QApplication::processEvents();
  return !scanDialog_->cancelled();
}

void QtUi::EndScan() {
  delete scanDialog_;
  scanDialog_ = nullptr;
}

void QtUi::BeginProgress(int maximum) {
  if (!statusBar_ || maximum < 1) return;
  progress_ = new QProgressBar(statusBar_);
  progress_->setRange(0, maximum);
  progress_->setTextVisible(false);
  statusBar_->addWidget(progress_, 1);
}

void QtUi::StepProgress() {
  if (progress_) progress_->setValue(std::min(progress_->maximum(), progress_->value() + 10));
}

void QtUi::EndProgress() {
  delete progress_;
  progress_ = nullptr;
}

void QtUi::RepaintNow() {
  if (repaint_) repaint_();
}
