// Field layouts from F<n>.DOP text or from the record length.
#include "data/field_layout.h"

#include <bit>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/index_files.h"
#include "data/mbf.h"

namespace barvane {
namespace {

constexpr std::string_view kKeywords[kQuantityCount] = {"DATE", "TIME", "OPEN", "HIGH",
                                                        "LOW",  "CLOSE", "VOL", "OI"};
constexpr std::size_t kLongestLayoutLine = 299;

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (c != prefix[i]) return false;
  }
  return true;
}

FieldLayout LayoutOf(std::initializer_list<Quantity> fields) {
  FieldLayout layout;
  std::int16_t p = 1;
  for (Quantity q : fields) layout.position[q] = p++;
  return layout;
}

// The 20-byte files come in two layouts; a fifth field that is zero or more than twice the
// second looks like a volume rather than a close. A file without a quote reads as zeros: a
// volume layout, which no quote contradicts.
FieldLayout TwentyByteLayout(const std::uint8_t* firstQuote) {
  const float second = firstQuote ? ReadMbf(firstQuote + 4) : 0.0f;
  const float fifth = firstQuote ? ReadMbf(firstQuote + 16) : 0.0f;
  if (fifth == 0 || fifth > 2 * second) return LayoutOf({kDate, kHigh, kLow, kClose, kVolume});
  return LayoutOf({kDate, kOpen, kHigh, kLow, kClose});
}

// The first quote record (`length` bytes, at most 24) of the file of `fileNumber`, zeros where
// the file ends.
Status ReadFirstQuote(FileSystem& fs, const std::string& dir, int fileNumber, std::size_t length,
                      std::uint8_t (&record)[24]) {
  const std::string path = FindNoCase(fs, dir, QuoteFileName(fileNumber));
  auto file = path.empty() ? nullptr : fs.OpenForRead(path);
  std::size_t got = 0;
  if (!file || !file->ReadAt(length, length, record, &got)) return kNoUsableLayout;
  return kSuccess;
}

bool AssumedLayout(const std::uint8_t* firstQuote, int recordLength, FieldLayout* layout) {
  switch (recordLength) {
    case 8: *layout = LayoutOf({kDate, kClose}); return true;
    case 12: *layout = LayoutOf({kDate, kClose, kVolume}); return true;
    case 16: *layout = LayoutOf({kDate, kHigh, kLow, kClose}); return true;
    case 20: *layout = TwentyByteLayout(firstQuote); return true;
    case 24: *layout = LayoutOf({kDate, kOpen, kHigh, kLow, kClose, kVolume}); return true;
    case 28: *layout = LayoutOf({kDate, kOpen, kHigh, kLow, kClose, kVolume, kOpenInterest}); return true;
    default: return false;
  }
}

// An intraday record holds TIME after DATE and then what a daily record 4 bytes shorter holds;
// `firstQuote` is the intraday record.
bool AssumedIntradayLayout(const std::uint8_t* firstQuote, int recordLength, FieldLayout* layout) {
  FieldLayout daily;
  if (!AssumedLayout(firstQuote ? firstQuote + 4 : nullptr, recordLength - 4, &daily)) return false;
  for (int q = kOpen; q < kQuantityCount; ++q) {
    auto& p = daily.position[static_cast<std::size_t>(q)];
    if (p != 0) ++p;
  }
  daily.position[kTime] = 2;
  *layout = daily;
  return true;
}

// Whether the record length table is read with TIME after DATE: an intraday series long enough
// for DATE, TIME and a price.
bool Intraday(char periodicity, int recordLength) { return periodicity == 'I' && recordLength >= 12; }

bool Usable(const FieldLayout& layout, int recordLength, int fieldCount) {
  if (fieldCount < 1 || fieldCount * 4 > recordLength || !layout.holds(kDate)) return false;
  for (std::int16_t p : layout.position) {
    if (p > fieldCount) return false;
  }
  return true;
}

}  // namespace

std::string_view QuantityKeyword(int quantity) { return kKeywords[quantity]; }

FieldLayout ParseLayoutText(std::string_view text) {
  FieldLayout layout;
  std::int16_t p = 1;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.size() > kLongestLayoutLine) line = line.substr(0, kLongestLayoutLine);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line[0] != '"') continue;

    std::vector<std::string_view> parts;
    for (std::size_t start = 0; start <= line.size();) {
      std::size_t comma = line.find(',', start);
      if (comma == std::string_view::npos) comma = line.size();
      if (comma > start) parts.push_back(line.substr(start, comma - start));
      start = comma + 1;
    }
    const std::string_view name = parts.empty() ? std::string_view() : parts[0].substr(1);
    auto number = [&](std::size_t i) {
      return i < parts.size() ? static_cast<std::int16_t>(std::atoi(std::string(parts[i]).c_str()))
                              : std::int16_t{0};
    };
    for (int q = 0; q < kQuantityCount; ++q) {
      if (!StartsWithIgnoringCase(name, kKeywords[q])) continue;
      layout.position[static_cast<std::size_t>(q)] = p++;
      layout.inputCode[static_cast<std::size_t>(q)] = number(1);
      layout.displayCode[static_cast<std::size_t>(q)] = number(2);
      break;
    }
  }
  return layout;
}

namespace {

Status LayoutOfRecord(const std::string_view* dopText, const std::uint8_t* firstQuote, int recordLength,
                      int fieldCount, char periodicity, std::uint8_t fieldSet, FieldLayout* layout) {
  *layout = FieldLayout{};
  FieldLayout found;
  if (dopText) {
    found = ParseLayoutText(*dopText);
  } else if (fieldSet != 0 && std::popcount(fieldSet) == fieldCount) {
    found = LayoutOfFieldSet(fieldSet);
  } else if (!(Intraday(periodicity, recordLength) ? AssumedIntradayLayout(firstQuote, recordLength, &found)
                                                    : AssumedLayout(firstQuote, recordLength, &found))) {
    return kNoUsableLayout;
  }
  if (!Usable(found, recordLength, fieldCount)) return kNoUsableLayout;
  *layout = found;
  return kSuccess;
}

Status ReadLayout(FileSystem& fs, const std::string& dir, int fileNumber, int recordLength,
                  int fieldCount, char periodicity, std::uint8_t fieldSet, FieldLayout* layout) {
  *layout = FieldLayout{};
  const std::string dopPath = FindNoCase(fs, dir, LayoutFileName(fileNumber));
  Bytes text;
  if (!dopPath.empty() && ReadWholeFile(fs, dopPath, &text, kLargestLayoutFile)) {
    const std::string_view dop(reinterpret_cast<const char*>(text.data()), text.size());
    return LayoutOfRecord(&dop, nullptr, recordLength, fieldCount, periodicity, fieldSet, layout);
  }
  std::uint8_t firstQuote[24] = {};
  const bool intraday = Intraday(periodicity, recordLength);
  const bool fromSet = fieldSet != 0 && std::popcount(fieldSet) == fieldCount;
  // Only the 20-byte layouts (24 bytes with TIME) look at the first quote.
  if (!fromSet && recordLength == (intraday ? 24 : 20)) {
    if (Status s = ReadFirstQuote(fs, dir, fileNumber, static_cast<std::size_t>(recordLength), firstQuote);
        s != kSuccess) {
      return s;
    }
  }
  return LayoutOfRecord(nullptr, firstQuote, recordLength, fieldCount, periodicity, fieldSet, layout);
}

}  // namespace

Status LayoutFromFiles(const std::string_view* dopText, const std::uint8_t* firstQuote,
                       const MasterRecord& record, int recordLength, int fieldCount, FieldLayout* layout) {
  return LayoutOfRecord(dopText, firstQuote, recordLength, fieldCount, record.periodicity(), record.fieldSet,
                        layout);
}

Status ReadFieldLayout(FileSystem& fs, const std::string& dir, int fileNumber, int recordLength,
                       int fieldCount, FieldLayout* layout) {
  return ReadLayout(fs, dir, fileNumber, recordLength, fieldCount, 'D', 0, layout);
}

Status ReadSymbolLayout(FileSystem& fs, const std::string& dir, const MasterRecord& record,
                        FieldLayout* layout) {
  return ReadLayout(fs, dir, record.fileNumber(), record.recordLength(), record.fieldCount(),
                    record.periodicity(), record.fieldSet, layout);
}

}  // namespace barvane
