// The command line's Ui: every message goes to standard error as its text stands.
#pragma once

#include "app/ui.h"

namespace barvane::cli {

class StderrUi final : public Ui {
 public:
  void ShowMessage(const std::string& text, MessageIcon icon) override;
  void ShowNotice(const std::string& text) override;
};

}  // namespace barvane::cli
