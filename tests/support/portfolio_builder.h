// Test support: temporary directories, whole-file bytes, and portfolios built from a short
// description with distinctive bytes in every field the program does not interpret, so that a
// test notices any rewrite that fails to carry them over.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "data/file_ops.h"
#include "data/portfolio_writer.h"

namespace barvane::test {

// Monday 06/15/98, where the tests' quote series begin.
inline const DayNumber kMonday = YmdToDay(98, 6, 15);
inline FileSystem& Fs() { return FileSystem::Default(); }

// A fresh directory under the system's temporary directory, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The directory, ending in "/".
  const std::string& path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

Bytes ReadBytes(const std::string& path);
std::string ReadText(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& bytes);
bool Exists(const std::string& path);
// Writes `bytes` over the file `path` from offset `at` on.
inline void Patch(const std::string& path, std::size_t at, const Bytes& bytes) {
  Bytes contents = ReadBytes(path);
  std::copy(bytes.begin(), bytes.end(), contents.begin() + static_cast<long>(at));
  WriteBytes(path, contents);
}
// Every file under `dir`, by its path relative to `dir`, with its bytes.
std::map<std::string, Bytes> Snapshot(const std::string& dir);
// The names in `dir`, sorted.
std::vector<std::string> FileNames(const std::string& dir);
// The names whose bytes differ between two snapshots, a file present in one only included.
std::set<std::string> Changed(const std::map<std::string, Bytes>& before,
                              const std::map<std::string, Bytes>& after);
// `files` without those whose names end in `suffix`.
inline std::map<std::string, Bytes> Without(std::map<std::string, Bytes> files, const std::string& suffix) {
  std::erase_if(files, [&](const auto& entry) { return entry.first.ends_with(suffix); });
  return files;
}
// The bytes from `from` to `to` that are not zero, as "offset:hex" runs with offsets from
// `from`, so that a whole index record reads as one line.
std::string NonZeroRuns(const Bytes& bytes, std::size_t from, std::size_t to);

// Weekday quotes from `first` on (weekends skipped), prices rising by 0.25 a day from `base`.
std::vector<QuoteValues> WeekdayQuotes(DayNumber first, int count, float base = 10.0f);

// A symbol with fields `fields` and the spare-byte value 0xA0 + file number.
SymbolDescription Symbol(int fileNumber, const std::string& symbol, std::vector<FieldDescription> fields,
                         std::vector<QuoteValues> quotes, bool withLayoutFile = false);

// A portfolio of one symbol and no sub-portfolios.
PortfolioDescription Portfolio(SymbolDescription symbol);

// The fields of the layouts a record length implies without F<n>.DOP.
std::vector<FieldDescription> Fields8();
std::vector<FieldDescription> Fields12();
std::vector<FieldDescription> Fields16();
std::vector<FieldDescription> Fields20Prices();  // DATE OPEN HIGH LOW CLOSE
std::vector<FieldDescription> Fields20Volume();  // DATE HIGH LOW CLOSE VOL
std::vector<FieldDescription> Fields24();
std::vector<FieldDescription> Fields28();

// A symbol of `count` weekday quotes from kMonday, in the full 28-byte layout unless told.
inline SymbolDescription Daily(int fileNumber, const std::string& symbol, int count,
                               std::vector<FieldDescription> fields = Fields28(), bool withLayoutFile = false) {
  return Symbol(fileNumber, symbol, std::move(fields), WeekdayQuotes(kMonday, count), withLayoutFile);
}

// A series of periodicity I of `bars` in DATE TIME OPEN HIGH LOW CLOSE VOL, and OI when `withOi`.
inline SymbolDescription Intraday(int fileNumber, const std::string& symbol, std::vector<QuoteValues> bars,
                                  bool withOi = false, bool withLayoutFile = false) {
  auto fields = FieldsOf({kDate, kTime, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest});
  if (!withOi) fields.pop_back();
  SymbolDescription s = Symbol(fileNumber, symbol, std::move(fields), std::move(bars), withLayoutFile);
  s.periodicity = 'I';
  return s;
}

// A portfolio of `symbols` and, listed after them, the sub-portfolios `subPortfolios`.
PortfolioDescription Portfolio(std::vector<SymbolDescription> symbols,
                               std::vector<std::string> subPortfolios = {});

// The same portfolio written with EMASTER and, for the symbols numbered above 255, XMASTER.
PortfolioDescription Extended(PortfolioDescription portfolio);

// Writes the portfolio into `dir` (spare bytes of the MASTER 0x5A) and fails the test on error.
void Build(const std::string& dir, PortfolioDescription portfolio);

// Success when the index files of `dir` are in step (IndexFilesOutOfStep finds nothing) and
// every symbol they list has its quote file; otherwise what is wrong.
testing::AssertionResult IndexFilesInStep(const std::string& dir);

// The directory of a copy of the named real portfolio under `into`, or empty when the shared
// fixtures are not beside the project (a user's clone).
std::string CopyFixture(const std::string& name, const TempDir& into);

}  // namespace barvane::test
