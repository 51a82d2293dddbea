// Test support implementation.
#include "support/portfolio_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

#include "data/file_names.h"
#include "data/index_files.h"

namespace barvane::test {
namespace fsys = std::filesystem;
namespace {

// Paths in the program are UTF-8 with "/"; the library's narrow strings are not on Windows.
std::string Utf8(const fsys::path& path) {
  const std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}
fsys::path Native(const std::string& path) { return fsys::path(std::u8string(path.begin(), path.end())); }

}  // namespace

TempDir::TempDir() {
  static std::mt19937_64 random{std::random_device{}()};
  for (;;) {
    const fsys::path p = fsys::temp_directory_path() / ("barvane-test-" + std::to_string(random()));
    if (fsys::create_directory(p)) {
      path_ = Utf8(p) + "/";
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Tests may leave read-only directories behind; give them back their permissions first.
  for (auto it = fsys::recursive_directory_iterator(Native(path_), ignored);
       it != fsys::recursive_directory_iterator(); it.increment(ignored)) {
    fsys::permissions(it->path(), fsys::perms::owner_all, fsys::perm_options::add, ignored);
  }
  fsys::remove_all(Native(path_), ignored);
}

Bytes ReadBytes(const std::string& path) {
  std::ifstream in(Native(path), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(Native(path), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

bool Exists(const std::string& path) { return fsys::exists(Native(path)); }

std::string ReadText(const std::string& path) {
  const Bytes bytes = ReadBytes(path);
  return {bytes.begin(), bytes.end()};
}

std::map<std::string, Bytes> Snapshot(const std::string& dir) {
  std::map<std::string, Bytes> files;
  for (const auto& entry : fsys::recursive_directory_iterator(Native(dir))) {
    if (entry.is_regular_file()) {
      files[Utf8(entry.path().lexically_relative(Native(dir)))] = ReadBytes(Utf8(entry.path()));
    }
  }
  return files;
}

std::vector<std::string> FileNames(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fsys::directory_iterator(Native(dir))) names.push_back(Utf8(entry.path().filename()));
  std::sort(names.begin(), names.end());
  return names;
}

std::set<std::string> Changed(const std::map<std::string, Bytes>& before,
                              const std::map<std::string, Bytes>& after) {
  std::set<std::string> names;
  for (const auto& [name, bytes] : before) {
    const auto it = after.find(name);
    if (it == after.end() || it->second != bytes) names.insert(name);
  }
  for (const auto& entry : after) {
    if (!before.count(entry.first)) names.insert(entry.first);
  }
  return names;
}

std::string NonZeroRuns(const Bytes& bytes, std::size_t from, std::size_t to) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  to = std::min(to, bytes.size());
  for (std::size_t i = from; i < to;) {
    if (bytes[i] == 0) {
      ++i;
      continue;
    }
    out += (out.empty() ? "" : " ") + std::to_string(i - from) + ':';
    for (; i < to && bytes[i] != 0; ++i) {
      out += kHex[bytes[i] >> 4];
      out += kHex[bytes[i] & 15];
    }
  }
  return out;
}

std::vector<QuoteValues> WeekdayQuotes(DayNumber first, int count, float base) {
  std::vector<QuoteValues> quotes;
  DayNumber day = first;
  for (int i = 0; i < count; ++i, ++day) {
    while (Weekday(day) == 0 || Weekday(day) == 6) ++day;
    const float close = base + 0.25f * static_cast<float>(i);
    quotes.push_back({day, 0, close - 0.125f, close + 0.5f, close - 0.5f, close,
                      1000.0f + static_cast<float>(i), 50.0f + static_cast<float>(i)});
  }
  return quotes;
}

SymbolDescription Symbol(int fileNumber, const std::string& symbol, std::vector<FieldDescription> fields,
                         std::vector<QuoteValues> quotes, bool withLayoutFile) {
  SymbolDescription s;
  s.fileNumber = fileNumber;
  s.symbol = symbol;
  s.name = symbol + " Ltd";
  s.fields = std::move(fields);
  s.quotes = std::move(quotes);
  s.withLayoutFile = withLayoutFile;
  s.filler = static_cast<std::uint8_t>(0xA0 + fileNumber);
  return s;
}

PortfolioDescription Portfolio(SymbolDescription symbol) {
  PortfolioDescription p;
  p.symbols.push_back(std::move(symbol));
  return p;
}

std::vector<FieldDescription> Fields8() { return FieldsOf({kDate, kClose}); }
std::vector<FieldDescription> Fields12() { return FieldsOf({kDate, kClose, kVolume}); }
std::vector<FieldDescription> Fields16() { return FieldsOf({kDate, kHigh, kLow, kClose}); }
std::vector<FieldDescription> Fields20Prices() { return FieldsOf({kDate, kOpen, kHigh, kLow, kClose}); }
std::vector<FieldDescription> Fields20Volume() { return FieldsOf({kDate, kHigh, kLow, kClose, kVolume}); }
std::vector<FieldDescription> Fields24() {
  return FieldsOf({kDate, kOpen, kHigh, kLow, kClose, kVolume});
}
std::vector<FieldDescription> Fields28() {
  return FieldsOf({kDate, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest});
}

PortfolioDescription Portfolio(std::vector<SymbolDescription> symbols,
                               std::vector<std::string> subPortfolios) {
  PortfolioDescription portfolio;
  portfolio.symbols = std::move(symbols);
  portfolio.subPortfolios = std::move(subPortfolios);
  return portfolio;
}

PortfolioDescription Extended(PortfolioDescription portfolio) {
  portfolio.extended = true;
  return portfolio;
}

testing::AssertionResult IndexFilesInStep(const std::string& dir) {
  FileSystem& fs = FileSystem::Default();
  IndexFiles files;
  if (!ReadIndexFiles(fs, dir, &files)) return testing::AssertionFailure() << "the index files of " << dir << " cannot be read";
  std::vector<std::string> problems = IndexFilesOutOfStep(files);
  for (const IndexEntry& entry : IndexEntries(files)) {
    if (entry.record.isSubPortfolio()) continue;
    const std::string name = QuoteFileName(entry.record.fileNumber());
    if (FindNoCase(fs, files.dir, name).empty()) problems.push_back(name + " is missing");
  }
  if (problems.empty()) return testing::AssertionSuccess();
  testing::AssertionResult result = testing::AssertionFailure() << "out of step in " << dir << ":";
  for (const std::string& problem : problems) result << "\n  " << problem;
  return result;
}

void Build(const std::string& dir, PortfolioDescription portfolio) {
  portfolio.filler = 0x5A;
  ASSERT_TRUE(WritePortfolio(FileSystem::Default(), dir, portfolio)) << dir;
}

std::string CopyFixture(const std::string& name, const TempDir& into) {
  const fsys::path source = fsys::path(BARVANE_FIXTURE_ROOT) / name;
  if (!fsys::is_directory(source)) return {};
  const fsys::path target = fsys::path(into.path()) / name;
  fsys::copy(source, target, fsys::copy_options::recursive);
  for (const auto& entry : fsys::directory_iterator(target)) {
    fsys::permissions(entry.path(), fsys::perms::owner_read | fsys::perms::owner_write,
                      fsys::perm_options::add);
  }
  return Utf8(target) + "/";
}

}  // namespace barvane::test
