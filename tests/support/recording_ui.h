// Test support: a Ui that records every message instead of showing it.
#pragma once

#include <string>
#include <vector>

#include "app/ui.h"

namespace barvane::test {

class RecordingUi final : public Ui {
 public:
  void ShowMessage(const std::string& text, MessageIcon icon) override {
    messages.push_back(text);
    icons.push_back(icon);
  }
  std::vector<std::string> messages;
  std::vector<MessageIcon> icons;
};

}  // namespace barvane::test
