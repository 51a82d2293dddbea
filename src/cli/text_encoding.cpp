// The command's code page and the conversions through it.
#include "cli/text_encoding.h"

namespace barvane::cli {
namespace {

CodePage& Page() {
  static CodePage page;
  return page;
}

}  // namespace

void UseCodePage(const CodePage& page) { Page() = page; }

const CodePage& FileCodePage() { return Page(); }

std::string FileTextToUtf8(const std::string& bytes) { return Page().ToUtf8(bytes); }

std::string MessageToUtf8(const std::string& text) { return Page().MessageToUtf8(text); }

std::vector<std::size_t> TextWords(const std::string& command) {
  if (command == "edit-symbol") return {2, 3, 4};
  if (command == "sample" || command == "scan" || command == "symbols" || command == "split-search" ||
      command == "export-all") {
    return {};
  }
  return {2};  // the SYMBOL after DIR
}

}  // namespace barvane::cli
