// Encoding of portfolio files from descriptions.
#include "data/portfolio_writer.h"

#include <algorithm>
#include <cstring>

#include "data/file_names.h"
#include "data/index_files.h"
#include "data/master.h"
#include "data/mbf.h"

namespace barvane {
namespace {

void PutText(Bytes& bytes, std::size_t at, const std::string& text) {
  for (std::size_t i = 0; i < kMasterTextSize; ++i) {
    bytes[at + i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : ' ';
  }
}

void PutMbf(Bytes& bytes, std::size_t at, float value) { WriteMbf(value, bytes.data() + at); }

float FieldValue(const QuoteValues& quote, Quantity quantity) {
  switch (quantity) {
    case kDate: return DayToDateFloat(quote.day);
    case kTime: return TimeSecondsToFloat(quote.time);
    case kOpen: return quote.open;
    case kHigh: return quote.high;
    case kLow: return quote.low;
    case kClose: return quote.close;
    case kVolume: return quote.volume;
    case kOpenInterest: return quote.openInterest;
  }
  return 0;
}

bool InMaster(const PortfolioDescription& portfolio, const SymbolDescription& symbol) {
  return !portfolio.extended || symbol.fileNumber <= kLargestMasterFileNumber;
}

std::uint8_t FieldSetOf(const SymbolDescription& symbol) {
  FieldLayout layout;
  std::int16_t p = 1;
  for (const FieldDescription& field : symbol.fields) layout.position[static_cast<std::size_t>(field.quantity)] = p++;
  return FieldSetOfLayout(layout);
}

NewIndexEntry EntryOf(const SymbolDescription& symbol) {
  NewIndexEntry entry;
  MasterRecord& record = entry.record;
  const Bytes master = MasterRecordBytes(symbol);
  std::copy(master.begin(), master.end(), record.bytes.begin());
  record.longName = symbol.name;
  record.intradayMinutes = symbol.intradayMinutes;
  entry.fieldSet = FieldSetOf(symbol);
  return entry;
}

// Marks the bytes of an index record that the program does not interpret with `filler`.
void Fill(Bytes& record, std::initializer_list<std::pair<std::size_t, std::size_t>> spans, std::uint8_t filler) {
  for (const auto& [from, to] : spans) std::fill(record.begin() + static_cast<long>(from), record.begin() + static_cast<long>(to), filler);
}

bool WriteBytes(FileSystem& fs, const std::string& path, const Bytes& bytes) {
  return WriteFileSafely(fs, path, bytes);
}

}  // namespace

std::vector<FieldDescription> FieldsOf(std::initializer_list<Quantity> quantities) {
  std::vector<FieldDescription> fields;
  for (Quantity q : quantities) fields.push_back({q, 0, 0});
  return fields;
}

Bytes MasterRecordBytes(const SymbolDescription& symbol) {
  Bytes bytes(kMasterRecordSize, symbol.filler);
  const std::size_t length = symbol.fields.size() * 4;
  bytes[kMasterFileNumber] = static_cast<std::uint8_t>(symbol.fileNumber);
  bytes[kMasterRecordLength] = static_cast<std::uint8_t>(length);
  bytes[kMasterFieldCount] = static_cast<std::uint8_t>(symbol.fields.size());
  PutText(bytes, kMasterIssueName, symbol.name);
  const DayNumber first = symbol.quotes.empty() ? kNoDate : symbol.quotes.front().day;
  const DayNumber last = symbol.quotes.empty() ? kNoDate : symbol.quotes.back().day;
  PutMbf(bytes, kMasterFirstDate, first == kNoDate ? 0.0f : DayToDateFloat(first));
  PutMbf(bytes, kMasterLastDate, last == kNoDate ? 0.0f : DayToDateFloat(last));
  bytes[kMasterPeriodicity] = static_cast<std::uint8_t>(symbol.periodicity);
  PutText(bytes, kMasterSymbol, symbol.symbol);
  return bytes;
}

Bytes SubPortfolioRecordBytes(const std::string& dirName, std::uint8_t filler) {
  Bytes bytes(kMasterRecordSize, filler);
  std::string name = dirName.substr(0, 8);
  name.resize(11, ' ');
  PutText(bytes, kMasterIssueName, name + "<DIR>");
  PutText(bytes, kMasterSymbol, dirName);
  return bytes;
}

Bytes MasterFileBytes(const PortfolioDescription& portfolio) {
  Bytes bytes(kMasterRecordSize, portfolio.filler);
  std::size_t symbols = 0;
  int highest = 0;
  for (const auto& s : portfolio.symbols) {
    if (!InMaster(portfolio, s)) continue;
    ++symbols;
    highest = std::max(highest, s.fileNumber);
  }
  const auto count = static_cast<std::uint16_t>(symbols + portfolio.subPortfolios.size());
  bytes[0] = static_cast<std::uint8_t>(count & 0xFF);
  bytes[1] = static_cast<std::uint8_t>(count >> 8);
  bytes[2] = static_cast<std::uint8_t>(highest);
  bytes[3] = 0;
  for (const auto& s : portfolio.symbols) {
    if (!InMaster(portfolio, s)) continue;
    const Bytes record = MasterRecordBytes(s);
    bytes.insert(bytes.end(), record.begin(), record.end());
  }
  for (const auto& dir : portfolio.subPortfolios) {
    const Bytes record = SubPortfolioRecordBytes(dir, portfolio.filler);
    bytes.insert(bytes.end(), record.begin(), record.end());
  }
  return bytes;
}

Bytes EmasterFileBytes(const PortfolioDescription& portfolio) {
  const Bytes master = MasterFileBytes(portfolio);
  Bytes bytes(kEmasterRecordSize, 0);
  std::copy(master.begin(), master.begin() + 4, bytes.begin());
  for (const auto& s : portfolio.symbols) {
    if (!InMaster(portfolio, s)) continue;
    Bytes record = EmasterRecordFor(EntryOf(s), s.fileNumber);
    Fill(record, {{3, 6}, {8, 9}, {10, 11}, {25, 32}, {48, 60}, {76, 126}, {130, 139}, {191, 192}}, s.filler);
    bytes.insert(bytes.end(), record.begin(), record.end());
  }
  return bytes;
}

Bytes XmasterFileBytes(const PortfolioDescription& portfolio) {
  Bytes bytes = NewXmasterHeader();
  int count = 0;
  int next = kLargestMasterFileNumber + 1;
  for (const auto& s : portfolio.symbols) {
    if (InMaster(portfolio, s)) continue;
    Bytes record = XmasterRecordFor(EntryOf(s), s.fileNumber);
    Fill(record, {{15, 16}, {61, 62}, {67, 70}, {71, 104}, {112, 116}, {120, 150}}, s.filler);
    bytes.insert(bytes.end(), record.begin(), record.end());
    ++count;
    next = std::max(next, s.fileNumber + 1);
  }
  for (std::size_t at : {kXmasterCount, kXmasterCountAgain, kXmasterNextNumber}) {
    const int value = at == kXmasterNextNumber ? next : count;
    bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
  }
  return bytes;
}

Bytes QuoteFileBytes(const SymbolDescription& symbol) {
  const std::size_t length = symbol.fields.size() * 4;
  Bytes bytes(length * (symbol.quotes.size() + 1), symbol.filler);
  const auto r = static_cast<std::uint16_t>(symbol.quotes.size() + 1);
  bytes[2] = static_cast<std::uint8_t>(r & 0xFF);
  bytes[3] = static_cast<std::uint8_t>(r >> 8);
  for (std::size_t q = 0; q < symbol.quotes.size(); ++q) {
    for (std::size_t f = 0; f < symbol.fields.size(); ++f) {
      PutMbf(bytes, length * (q + 1) + 4 * f, FieldValue(symbol.quotes[q], symbol.fields[f].quantity));
    }
  }
  return bytes;
}

std::string LayoutFileText(const SymbolDescription& symbol) {
  std::string text;
  for (const FieldDescription& field : symbol.fields) {
    text += '"';
    text += QuantityKeyword(field.quantity);
    text += "\",";
    text += std::to_string(field.inputCode);
    text += ',';
    text += std::to_string(field.displayCode);
    text += "\r\n";
  }
  return text;
}

bool WritePortfolio(FileSystem& fs, const std::string& dir, const PortfolioDescription& portfolio) {
  const std::string d = WithTrailingSlash(dir);
  if (!fs.CreateDirectory(WithoutTrailingSlash(d))) return false;
  for (const SymbolDescription& symbol : portfolio.symbols) {
    if (!WriteBytes(fs, d + QuoteFileName(symbol.fileNumber), QuoteFileBytes(symbol))) return false;
    if (symbol.withLayoutFile) {
      const std::string text = LayoutFileText(symbol);
      if (!WriteBytes(fs, d + LayoutFileName(symbol.fileNumber), Bytes(text.begin(), text.end()))) {
        return false;
      }
    }
  }
  if (portfolio.extended) {
    if (!WriteBytes(fs, d + kEmasterName, EmasterFileBytes(portfolio))) return false;
    const bool anyExtended = std::any_of(portfolio.symbols.begin(), portfolio.symbols.end(),
                                         [&](const SymbolDescription& s) { return !InMaster(portfolio, s); });
    if (anyExtended && !WriteBytes(fs, d + kXmasterName, XmasterFileBytes(portfolio))) return false;
  }
  return WriteBytes(fs, d + kMasterName, MasterFileBytes(portfolio));
}

}  // namespace barvane
