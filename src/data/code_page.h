// The code page of a portfolio: the single-byte character set in which its index files keep
// symbols and names, as the machine that wrote them used it (Windows-1251 in Russia, CP437 from
// DOS tools, ...). The core works on the files' bytes; a code page turns them into Unicode text
// for the screen and the command line, and typed text back into bytes.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace barvane {

inline constexpr const char* kDefaultCodePage = "windows-1252";

// The Unicode character of each byte.
using CharacterTable = std::array<char32_t, 256>;

// The table of the code page `name` (one of CodePageNames()) from the platform's own converter,
// 0 for a byte the page leaves undefined. False when the platform lacks the page. Each platform
// implements it once, beside the file system.
[[nodiscard]] bool PlatformCharacterTable(const std::string& name, CharacterTable* table);

// `bytes` of the text encoding `name` (one of CodePageNames(), "gbk" or "shift_jis") as UTF-8,
// through the platform's own converter. False when the platform lacks the encoding or a byte
// sequence is none of it.
[[nodiscard]] bool PlatformTextToUtf8(const std::string& name, std::string_view bytes,
                                      std::string* utf8);

// The pages offered, in the order a menu lists them.
const std::vector<std::string>& CodePageNames();

// How a list shows the page or text encoding `name` (one of CodePageNames(), "GBK", "Shift-JIS",
// "UTF-8", "UTF-16"; letter case, '-' and '_' ignored): with the languages it is for
// ("Windows-1251 (Cyrillic)"). An unknown name is shown as it is.
std::string CodePageTitle(std::string_view name);

class CodePage {
 public:
  // windows-1252, which reads today's Latin files.
  CodePage();

  // The page `name` (letter case ignored); nullopt when it is none of CodePageNames() or the
  // platform lacks it.
  static std::optional<CodePage> Named(std::string_view name);

  const std::string& name() const { return name_; }

  // `bytes` as UTF-8. A byte the page leaves undefined still gets a character of its own, so
  // that FromUtf8 gives the same bytes back.
  std::string ToUtf8(std::string_view bytes) const;
  // The bytes of the UTF-8 `text`, one a character. False when a character has no byte in this
  // page or the text is no UTF-8: `*refused` then holds that character (or the bad byte).
  [[nodiscard]] bool FromUtf8(std::string_view text, std::string* bytes,
                              std::string* refused = nullptr) const;
  // A message that may hold paths (UTF-8) beside file texts: as it is when it reads as UTF-8,
  // else taken for this page's bytes.
  std::string MessageToUtf8(const std::string& text) const;
  // Why `text` cannot be stored as `what` ("symbol", "name"), or "" when it can.
  std::string Refusal(std::string_view text, const std::string& what) const;
  // `bytes` with each capital letter of the page as its small letter, so that texts compare
  // ignoring case in the page's own alphabet (Cyrillic in Windows-1251, Greek in 1253, ...).
  std::string CaseFolded(std::string_view bytes) const;

  bool operator==(const CodePage& other) const { return name_ == other.name_; }

 private:
  CodePage(std::string name, const CharacterTable& table);
  void FoldCase();

  std::string name_;
  CharacterTable chars_{};
  std::array<unsigned char, 256> small_{};  // of each byte: the byte of its small letter
};

}  // namespace barvane
