// Messages of the command line.
#include "cli/stderr_ui.h"

#include <iostream>

#include "cli/text_encoding.h"

namespace barvane::cli {

void StderrUi::ShowMessage(const std::string& text, MessageIcon) {
  std::cerr << MessageToUtf8(text) << '\n';
}

void StderrUi::ShowNotice(const std::string& text) { std::cerr << MessageToUtf8(text) << '\n'; }

}  // namespace barvane::cli
