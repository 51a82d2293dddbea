// Code pages: known characters of each family, every byte of every page back as it was, and
// the refusals of what a page cannot hold.
#include "data/code_page.h"

#include <gtest/gtest.h>

namespace barvane {
namespace {

CodePage Page(const std::string& name) {
  const std::optional<CodePage> page = CodePage::Named(name);
  EXPECT_TRUE(page) << name;
  return page.value_or(CodePage());
}

TEST(CodePage, ReadsTheCharactersOfEachFamily) {
  const struct {
    const char* page;
    std::string bytes;
    std::string text;
  } cases[] = {
      {"windows-1252", "M\xDCNCH \x80\x8A", "MÜNCH €Š"},
      {"windows-1251", "\xD1\xE1\xE5\xF0\xE1\xE0\xED\xEA \x80", "Сбербанк Ђ"},
      {"windows-1250", "\x8A\xB9", "Šą"},
      {"windows-1253", "\xC1\xE8\xDE\xED\xE1", "Αθήνα"},
      {"windows-1254", "\xDE\xFD", "Şı"},
      {"cp437", "\x80\xB0\xE1", "Ç░ß"},
      {"cp850", "\x9D\xD1", "ØÐ"},
      {"cp866", "\x8B\x93\x8A", "ЛУК"},
      {"koi8-r", "\xEC\xF5\xEB", "ЛУК"},
      {"iso-8859-5", "\xBB\xC3\xBA", "ЛУК"},
      {"iso-8859-1", "\xE9", "é"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.page);
    const CodePage page = Page(c.page);
    EXPECT_EQ(page.ToUtf8(c.bytes), c.text);
    std::string bytes;
    EXPECT_TRUE(page.FromUtf8(c.text, &bytes));
    EXPECT_EQ(bytes, c.bytes);
  }
}

TEST(CodePage, EveryByteOfEveryPageComesBackAsItWas) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::vector<std::string> lacking;
  for (const std::string& name : CodePageNames()) {
    SCOPED_TRACE(name);
    const std::optional<CodePage> page = CodePage::Named(name);
    if (!page) {
      lacking.push_back(name);
      continue;
    }
    std::string back;
    ASSERT_TRUE(page->FromUtf8(page->ToUtf8(all), &back));
    EXPECT_EQ(back, all);
  }
#ifdef _WIN32
  // Windows has no converter for these.
  EXPECT_EQ(lacking, (std::vector<std::string>{"iso-8859-10", "iso-8859-11", "iso-8859-14", "iso-8859-16"}));
#else
  EXPECT_EQ(lacking, std::vector<std::string>{});
#endif
  // The default reads a byte windows-1252 leaves undefined as Windows does.
  EXPECT_EQ(CodePage().name(), "windows-1252");
  EXPECT_EQ(CodePage().ToUtf8("\x81"), "\xC2\x81");
}

TEST(CodePage, NamesAreTheListedOnesInAnyLetterCase) {
  EXPECT_EQ(CodePageNames().size(), 28u);
  EXPECT_EQ(Page("Windows-1251").name() + " " + Page("KOI8-R").name(), "windows-1251 koi8-r");
  for (const char* unknown : {"", "utf-8", "windows-1259", "iso-8859-12", "cp1251", "latin1"}) {
    EXPECT_FALSE(CodePage::Named(unknown)) << unknown;
  }
  // Every page listed is shown with its languages.
  for (const std::string& name : CodePageNames()) EXPECT_NE(CodePageTitle(name).find(" ("), std::string::npos) << name;
  EXPECT_EQ(CodePageTitle("windows-1251") + "|" + CodePageTitle("Shift-JIS") + "|" + CodePageTitle("cp1251"),
            "Windows-1251 (Cyrillic)|Shift-JIS (Japanese)|cp1251");
}

TEST(CodePage, RefusesWhatThePageCannotHoldNamingTheCharacter) {
  const CodePage latin;
  const CodePage cyrillic = Page("windows-1251");
  std::string bytes, refused;
  EXPECT_FALSE(latin.FromUtf8("ГАЗП", &bytes, &refused));
  EXPECT_EQ(refused, "Г");
  EXPECT_EQ(latin.Refusal("ГАЗП", "symbol"),
            "The symbol holds \"Г\", a character that the code page windows-1252 has not");
  EXPECT_EQ(cyrillic.Refusal("MÜNCH", "name"),
            "The name holds \"Ü\", a character that the code page windows-1251 has not");
  EXPECT_EQ(cyrillic.Refusal("Сбербанк", "name"), "");
  EXPECT_EQ(latin.Refusal("AB\xFF", "name"), "The name is no UTF-8 text");
  EXPECT_EQ(latin.Refusal("\xED\xA0\x80", "name"), "The name is no UTF-8 text");  // a surrogate
  // Messages show paths as they are and file texts through the page.
  EXPECT_EQ(cyrillic.MessageToUtf8("/данные/MASTER"), "/данные/MASTER");
  EXPECT_EQ(cyrillic.MessageToUtf8("Symbol \xCB\xD3\xCA is now"), "Symbol ЛУК is now");
}

}  // namespace
}  // namespace barvane
