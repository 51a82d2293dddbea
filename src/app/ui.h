// Ui: the small interface through which every command talks to the user. The window gives it
// message boxes; barvane-cli writes the messages to standard error; tests record them.
#pragma once

#include <string>

namespace barvane {

enum class MessageIcon { kNone, kInformation, kWarning, kStop };
enum class Answer { kYes, kNo, kCancel };

class Ui {
 public:
  virtual ~Ui() = default;
  // A modal message with an OK button; `text` may hold "\n" line ends.
  virtual void ShowMessage(const std::string& text, MessageIcon icon = MessageIcon::kNone) = 0;
  // A passing remark that needs no answer: the status bar's message pane in the window.
  virtual void ShowNotice(const std::string& /*text*/) {}
  // A question with the buttons Yes and No; true for Yes.
  virtual bool AskYesNo(const std::string& /*text*/) { return true; }
  // A question with the buttons Yes, No and Cancel.
  virtual Answer AskYesNoCancel(const std::string& text) { return AskYesNo(text) ? Answer::kYes : Answer::kNo; }
  // A note that a change or an export is done, shown without stopping the user (the window's
  // status bar); the command line says nothing more than the contract names.
  virtual void ShowDone(const std::string& /*text*/) {}
  // The information beep that ends a long operation.
  virtual void Beep() {}
  // The wait cursor, shown around grid rebuilds.
  virtual void SetWaitCursor(bool /*on*/) {}

  // A drive walk: the progress window opens, follows the directory searched and the
  // portfolios found so far (false cancels the walk), and closes.
  virtual void BeginScan() {}
  virtual bool ShowScanProgress(const std::string& /*dir*/, int /*found*/) { return true; }
  virtual void EndScan() {}

  // A progress bar over the status bar's message pane, from 0 to `maximum` in steps.
  virtual void BeginProgress(int /*maximum*/) {}
  virtual void StepProgress() {}
  virtual void EndProgress() {}
  // Shows what has been filled so far at once, while the rest loads.
  virtual void RepaintNow() {}
};

}  // namespace barvane
