// The settings store: exact round trips, the read limits, the first-run INI import and a store
// that cannot be written; on Windows the registry's own forms and its machine-wide defaults.
#include "app/settings_store.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include <climits>
#include <filesystem>
#include <thread>

#include "app/ini_import.h"
#include "support/portfolio_builder.h"
#include "support/settings_place.h"

namespace barvane {
namespace {

using test::TempDir;

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

Bytes AsBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

using Table = std::vector<std::vector<std::string>>;
Table Rows(const std::string& ini) {
  Table rows;
  for (const IniPair& p : ParseIniText(ini)) rows.push_back({p.section, p.name, p.value});
  return rows;
}

#ifndef _WIN32
// The real file system with chosen operations failing.
class FaultyFs final : public FileSystemWrapper {
 public:
  using FileSystemWrapper::FileSystemWrapper;
  bool failCreate = false, failRename = false, failRead = false;

  std::unique_ptr<ReadableFile> OpenForRead(const std::string& path) override {
    return failRead ? nullptr : target().OpenForRead(path);
  }
  std::unique_ptr<WritableFile> CreateForWrite(const std::string& path) override {
    return failCreate ? nullptr : target().CreateForWrite(path);
  }
  std::unique_ptr<WritableFile> CreateExclusive(const std::string& path) override {
    return failCreate ? nullptr : target().CreateExclusive(path);
  }
  bool Rename(const std::string& from, const std::string& to) override {
    return !failRename && target().Rename(from, to);
  }
};
#endif

class OpenStore : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(store.OpenRootKey(place.location(), &created)); }
  test::SettingsPlace place;
  SettingsStore store{FileSystem::Default()};
  bool created = false;
};

TEST_F(OpenStore, IntegersParseLikePercentDTextsUpTo259CharactersReadAndNamesIgnoreCase) {
  EXPECT_TRUE(store.WriteInt("Screen", "x", -5));
  EXPECT_EQ(store.ReadString("Screen", "x", ""), "-5");
  EXPECT_EQ(store.ReadInt("Screen", "x", 7), -5);
  const std::pair<const char*, int> cases[] = {
      {"12abc", 12}, {"  +34", 34}, {"-0", 0}, {"abc", 99}, {"", 99}, {"-", 99}, {" x1", 99}};
  for (const auto& [text, expected] : cases) {
    ASSERT_TRUE(store.WriteString("S", "v", text));
    EXPECT_EQ(store.ReadInt("S", "v", 99), expected) << '"' << text << '"';
  }
  EXPECT_EQ(store.ReadInt("NoSection", "v", 5), 5);
  EXPECT_EQ(store.ReadString("S", "missing", "dflt"), "dflt");
  SettingsStore never(FileSystem::Default());  // never opened: defaults, and writes go nowhere
  EXPECT_EQ(never.ReadInt("Screen", "x", 7), 7);
  EXPECT_FALSE(never.WriteInt("Screen", "x", 1));
  // Names differing only in case are one value.
  ASSERT_TRUE(store.WriteString("Search", "Name", "/data"));
  ASSERT_TRUE(store.WriteString("SEARCH", "NAME", "/other"));
  ASSERT_TRUE(store.WriteInt("search", "Limit", 1));
  EXPECT_EQ(store.ReadString("sEaRcH", "name", ""), "/other");
  EXPECT_EQ(store.ReadInt("SEARCH", "limit", 0), 1);
#ifndef _WIN32
  EXPECT_EQ(test::ReadText(store.path()), "[Screen]\nx=-5\n[S]\nv= x1\n[Search]\nName=/other\nLimit=1\n");
#endif

  // Texts up to 259 characters read, and longer ones are missing.
  for (std::size_t n : {0u, 1u, 258u, 259u, 260u, 261u, 5000u}) {
    const std::string text = n == 0 ? "" : "1" + std::string(n - 1, ' ');
    ASSERT_TRUE(store.WriteString("Long", "v", text));
    EXPECT_EQ(store.ReadString("Long", "v", "dflt"), n <= 259 ? text : "dflt") << n;
    EXPECT_EQ(store.ReadInt("Long", "v", -1), n == 0 || n > 259 ? -1 : 1) << n;
  }
  ASSERT_TRUE(store.WriteString("Long", "v", "99999999999"));
  EXPECT_EQ(store.ReadInt("Long", "v", -1), INT_MAX);
  // Escapes take room in the file, not in the text.
  const std::string escaped(259, '\n');
  ASSERT_TRUE(store.WriteString("Long", "v", escaped));
  EXPECT_EQ(store.ReadString("Long", "v", "dflt"), escaped);
}

TEST_F(OpenStore, TwoWritersAtOnceKeepEachOthersValues) {
  auto writer = [this](const std::string& section) {
    SettingsStore own(FileSystem::Default());
    bool ownCreated = false;
    if (!own.OpenRootKey(place.location(), &ownCreated)) return;
    for (int i = 0; i < 40; ++i) (void)own.WriteInt(section, "v" + std::to_string(i), i);
  };
  std::thread a(writer, "A"), b(writer, "B");
  a.join();
  b.join();
  for (const char* section : {"A", "B"}) {
    for (int i = 0; i < 40; ++i) EXPECT_EQ(store.ReadInt(section, "v" + std::to_string(i), -1), i);
  }
}

TEST_F(OpenStore, AnyTextReadsBackExactlyFromAFreshStore) {
  const std::string texts[] = {"a\nb", "line\r\n", "=",   "k=v",    "[Search]", "[", "]",
                               "\\",   "\\n",      "end\\", " pad ", "Donn\xC3\xA9" "es", {"a\0b\0", 4}};
  for (const std::string& text : texts) {
    ASSERT_TRUE(store.WriteString("Odd", "v" + text, text));
#ifndef _WIN32
    // In the registry "\" divides keys; the file takes any section name.
    ASSERT_TRUE(store.WriteString(text + "]", text + "=", text));
#endif
  }
  SettingsStore fresh(FileSystem::Default());
  ASSERT_TRUE(fresh.OpenRootKey(place.location(), &created));
  EXPECT_FALSE(created);
  for (const std::string& text : texts) {
    EXPECT_EQ(fresh.ReadString("Odd", "v" + text, "?"), text);
#ifndef _WIN32
    EXPECT_EQ(fresh.ReadString(text + "]", text + "=", "?"), text);
#endif
  }
#ifdef _WIN32
  // The registry holds UTF-16: a text that is not UTF-8 could not come back, so it is refused.
  EXPECT_FALSE(store.WriteString("Odd", "latin", "\xE9\xFF\x80"));
#else
  ASSERT_TRUE(store.WriteString("Odd", "latin", "\xE9\xFF\x80"));
#endif
  EXPECT_EQ(fresh.ReadString("Odd", "latin", "?"), kWindows ? "?" : "\xE9\xFF\x80");
}

TEST(IniImport, LinesAreTrimmedSectionsNeedBracketsAtBothEndsAndLongLinesAreCut) {
  EXPECT_EQ(Rows("Early=dropped\n  [ Search ]  \r\nLimit=0\nName = C:\\DATA\n[a]b]\n"
                 "; comment = kept\nno pair\n[x]=y\n\t[Edit]\nDate==07/04/99"),
            (Table{{"Search", "Limit", "0"},
                   {"Search", "Name ", " C:\\DATA"},
                   {"Search", "; comment ", " kept"},
                   {"Search", "[x]", "y"},
                   {"Edit", "Date", "=07/04/99"}}));
  // Long lines arrive in pieces of 519 characters. Each line ends in "=", so a cut shows as an
  // extra pair with an empty name.
  for (std::size_t n : {518u, 519u, 520u}) {
    const auto pairs = ParseIniText("[S]\nk=" + std::string(n - 3, 'x') + "=\n");
    ASSERT_EQ(pairs.size(), n <= 519 ? 1u : 2u) << n;
    EXPECT_EQ(pairs[0].value.size(), std::min<std::size_t>(n, 519) - 2) << n;
  }
  const std::string thousand = "a=" + std::string(517, 'x') + "  b=" + std::string(477, 'y');
  EXPECT_EQ(Rows("[S]\n" + thousand + "\nc=z\n"), (Table{{"S", "a", std::string(517, 'x')},
                                                         {"S", "b", std::string(477, 'y')},
                                                         {"S", "c", "z"}}));
}

TEST(IniImport, FirstOpenReportsCreatedAndLaterOpensDoNot) {
  TempDir dir;
  test::SettingsPlace place;
  const std::string ini = dir / "Barvane.INI";
  test::WriteBytes(ini, AsBytes("[ Search ]\nLimit=0\n[Edit]\nDate=07/04/99\n"));
  const std::string location = place.location() + (kWindows ? "\\nested" : "conf/nested");
  SettingsStore store(FileSystem::Default());
  bool created = false;
  ASSERT_TRUE(store.OpenRootKey(location, &created));
  ASSERT_TRUE(created);
  store.ImportIniFile(ini);
  store.ImportIniFile(dir / "missing.INI");
  EXPECT_EQ(store.ReadInt("Search", "Limit", 1), 0);
  EXPECT_EQ(store.ReadString("Edit", "Date", ""), "07/04/99");
  EXPECT_EQ(store.ReadString("Edit", "Open", "none"), "none");

  test::WriteBytes(ini, AsBytes("[Search]\nLimit=1\n"));
  SettingsStore again(FileSystem::Default());
  ASSERT_TRUE(again.OpenRootKey(location, &created));
  EXPECT_FALSE(created);
  EXPECT_EQ(again.ReadInt("search", "limit", 1), 0);
}

#ifndef _WIN32
TEST(SettingsStore, FailedWritesAreSilentAndLeaveTheOldFileAndNoTemporary) {
  TempDir dir;
  FaultyFs fs(FileSystem::Default());
  fs.failCreate = true;
  SettingsStore none(fs);
  bool created = true;
  EXPECT_FALSE(none.OpenRootKey(dir / "conf", &created));
  EXPECT_FALSE(created);
  EXPECT_FALSE(none.WriteInt("Screen", "cx", 640));
  EXPECT_EQ(none.ReadInt("Screen", "cx", 0), 0);
  EXPECT_EQ(test::FileNames(dir / "conf"), std::vector<std::string>{});

  fs.failCreate = false;
  SettingsStore store(fs);
  ASSERT_TRUE(store.OpenRootKey(dir.path(), &created));
  ASSERT_TRUE(store.WriteString("Settings", "Drive", "/home"));
  ASSERT_TRUE(store.WriteInt("Search", "Limit", 1));
  const Bytes before = test::ReadBytes(store.path());
  for (int fault = 0; fault < 3; ++fault) {
    SCOPED_TRACE(fault);
    fs.failCreate = fault == 0;
    fs.failRename = fault == 1;
    // A store that cannot be read must not be replaced by one holding only the new value.
    fs.failRead = fault == 2;
    EXPECT_FALSE(store.WriteString("Settings", "Drive", "/mnt"));
    EXPECT_FALSE(store.WriteInt("Search", "Other", 3));
    store.ImportIniFile(store.path());
    fs.failRead = false;
    EXPECT_EQ(test::ReadBytes(store.path()), before);
    EXPECT_EQ(test::FileNames(dir.path()), (std::vector<std::string>{"Barvane.conf", "conf"}));
    EXPECT_EQ(store.ReadString("Settings", "Drive", "") + " " + store.ReadString("Search", "Limit", ""), "/home 1");
  }
}

#endif

#ifdef _WIN32
struct RegistryValue {
  DWORD type = REG_NONE;
  std::wstring data;  // as stored, a terminating zero included
  bool operator==(const RegistryValue&) const = default;
};

RegistryValue Raw(HKEY root, const std::string& key, const wchar_t* name) {
  RegistryValue value;
  wchar_t data[300];
  DWORD size = sizeof(data);
  const std::wstring wideKey = std::filesystem::path(key).wstring();
  if (::RegGetValueW(root, wideKey.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &value.type, data, &size) ==
      ERROR_SUCCESS) {
    value.data.assign(data, size / sizeof(wchar_t));
  }
  return value;
}

void SetMachineValue(const std::string& key, const wchar_t* name, const std::wstring& text) {
  const std::wstring wideKey = std::filesystem::path(key).wstring();
  ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, wideKey.c_str(), name, REG_SZ, text.c_str(),
                              static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
}

TEST_F(OpenStore, RegistryKeepsTextsWithTheirZeroPerSectionUnderTheCurrentUser) {
  ASSERT_TRUE(store.WriteInt("Screen", "cx", -5));
  ASSERT_TRUE(store.WriteString("Search", "Name", "C:/Donn\xC3\xA9" "es"));
  ASSERT_TRUE(store.WriteString("Edit", "OI", ""));
  const std::pair<std::string, RegistryValue> cases[] = {
      {"Screen|cx", {REG_SZ, std::wstring(L"-5\0", 3)}},
      {"Search|Name", {REG_SZ, std::wstring(L"C:/Donn\u00E9es\0", 11)}},
      {"Edit|OI", {REG_SZ, std::wstring(L"\0", 1)}}};
  for (const auto& [where, value] : cases) {
    const std::string section = where.substr(0, where.find('|'));
    const std::wstring name = std::filesystem::path(where.substr(where.find('|') + 1)).wstring();
    EXPECT_TRUE(Raw(HKEY_CURRENT_USER, place.location() + "\\" + section, name.c_str()) == value) << where;
    EXPECT_EQ(Raw(HKEY_LOCAL_MACHINE, place.location() + "\\" + section, name.c_str()).type, REG_NONE);
  }
  EXPECT_EQ(place.Contents(), "[Edit]\nOI=\n[Screen]\ncx=-5\n[Search]\nName=C:/Donn\xC3\xA9" "es\n");
}

TEST_F(OpenStore, MachineValuesAreDefaultsThatTheUsersOwnOutrank) {
  SetMachineValue(place.location() + "\\Search", L"Name", L"D:/Shared");
  SetMachineValue(place.location() + "\\Screen", L"cx", L"800");
  SetMachineValue(place.location() + "\\Long", L"v", std::wstring(260, L'x'));
  EXPECT_EQ(store.ReadString("Search", "Name", "dflt"), "D:/Shared");
  EXPECT_EQ(store.ReadInt("Screen", "cx", 0), 800);
  EXPECT_EQ(store.ReadInt("Screen", "cy", 7), 7);
  EXPECT_EQ(store.ReadString("Long", "v", "dflt"), "dflt");
  ASSERT_TRUE(store.WriteString("Search", "Name", "E:/Mine"));
  EXPECT_EQ(store.ReadString("Search", "Name", "dflt"), "E:/Mine");
  EXPECT_TRUE(Raw(HKEY_LOCAL_MACHINE, place.location() + "\\Search", L"Name") ==
              (RegistryValue{REG_SZ, std::wstring(L"D:/Shared\0", 10)}));
}
#endif

}  // namespace
}  // namespace barvane
