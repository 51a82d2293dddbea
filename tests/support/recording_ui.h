// Test support: a Ui that records every message, question and beep instead of showing it.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/ui.h"

namespace barvane::test {

class RecordingUi final : public Ui {
 public:
  void ShowMessage(const std::string& text, MessageIcon icon) override {
    messages.push_back(text);
    icons.push_back(icon);
  }
  void ShowDone(const std::string& text) override { done.push_back(text); }
  bool AskYesNo(const std::string& text) override {
    questions.push_back(text);
    return answer;
  }
  void ShowNotice(const std::string& text) override { notices.push_back(text); }
  void Beep() override { ++beeps; }
  bool ShowScanProgress(const std::string& dir, int found) override {
    progress.emplace_back(dir, found);
    return found < cancelAtFound;
  }
  std::vector<std::string> messages;
  std::vector<MessageIcon> icons;
  std::vector<std::string> done;  // what ShowDone was told
  std::vector<std::string> questions;
  bool answer = true;  // to every question
  std::vector<std::string> notices;
  int beeps = 0;
  std::vector<std::pair<std::string, int>> progress;
  int cancelAtFound = 1 << 30;  // the walk is cancelled once this many portfolios are found
};

}  // namespace barvane::test
