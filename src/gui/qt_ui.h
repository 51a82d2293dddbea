// The window's Ui: message boxes, the beep, the wait cursor, the scan progress window and the
// progress bar over the status bar's message pane.
#pragma once

#include <QPointer>
#include <QProgressBar>
#include <functional>

#include "app/ui.h"
#include "data/code_page.h"

class QStatusBar;
class QWidget;
class CScanProgressDlg;

class QtUi final : public barvane::Ui {
 public:
  using MessageHandler = std::function<void(const std::string&, barvane::MessageIcon)>;

  // `messages` replaces the message boxes (tests record them); empty shows boxes.
  QtUi(QWidget* owner, MessageHandler messages);

  void SetStatusBar(QStatusBar* bar) { statusBar_ = bar; }
  // The code page of the file texts in messages: the current portfolio's.
  void SetCodePage(const barvane::CodePage* page) { codePage_ = page; }
  // Replaces the Yes/No boxes (tests answer them); empty shows boxes.
  void SetQuestionHandler(std::function<bool(const std::string&)> questions) { questions_ = std::move(questions); }
  // Replaces the Yes/No/Cancel boxes likewise.
  void SetChoiceHandler(std::function<barvane::Answer(const std::string&)> choices) { choices_ = std::move(choices); }
  // Called with the rows filled so far when a fill wants the first screen shown.
  void SetRepaint(std::function<void()> repaint) { repaint_ = std::move(repaint); }

  void ShowMessage(const std::string& text, barvane::MessageIcon icon) override;
  void ShowNotice(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  // Enter answers Cancel, which changes nothing.
  barvane::Answer AskYesNoCancel(const std::string& text) override;
  // In the status bar's message pane until the next message there.
  void ShowDone(const std::string& text) override;
  void Beep() override;
  void SetWaitCursor(bool on) override;
  void BeginScan() override;
  bool ShowScanProgress(const std::string& dir, int found) override;
  void EndScan() override;
  void BeginProgress(int maximum) override;
  void StepProgress() override;
  void EndProgress() override;
  void RepaintNow() override;

 private:
  QString Text(const std::string& text) const;

  QWidget* owner_;
  const barvane::CodePage* codePage_ = nullptr;
  MessageHandler messages_;
  std::function<bool(const std::string&)> questions_;
  std::function<barvane::Answer(const std::string&)> choices_;
  QStatusBar* statusBar_ = nullptr;
  std::function<void()> repaint_;
  CScanProgressDlg* scanDialog_ = nullptr;
  QProgressBar* progress_ = nullptr;
};
