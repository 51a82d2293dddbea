// Ui: the small interface through which every command talks to the user. The window gives it
// message boxes; barvane-cli writes the messages to standard error; tests record them.
#pragma once

#include <string>

namespace barvane {

enum class MessageIcon { kNone, kInformation, kWarning, kStop };

class Ui {
 public:
  virtual ~Ui() = default;
  // A modal message with an OK button; `text` may hold "\n" line ends.
  virtual void ShowMessage(const std::string& text, MessageIcon icon = MessageIcon::kNone) = 0;
  // The directory a drive walk is searching and the portfolios found so far; false cancels.
  virtual bool ShowScanProgress(const std::string& /*dir*/, int /*found*/) { return true; }
};

}  // namespace barvane
