// Series facts and the texts of periodicity letters and format codes.
#include "data/series_facts.h"

#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/master.h"
#include "data/quote_series.h"

namespace barvane {

std::string PeriodicityText(char letter) {
  const char* name = nullptr;
  switch (letter) {
    case 'D': name = "Daily"; break;
    case 'I': name = "Intra-day"; break;
    case 'W': name = "Weekly"; break;
    case 'M': name = "Monthly"; break;
    case 'Q': name = "Quarterly"; break;
    case 'Y': name = "Yearly"; break;
    default: return "ERROR";
  }
  return std::string(1, letter) + " " + name;
}

std::string FormatCodeText(int code) {
  static const char* const kFractionsAndPlaces[] = {
      "128ths", "64ths",  "32nds",    "16ths",     "8ths",      "4ths",      "Halves",
      "Whole Num.", "10ths", "100ths", "1,000ths", "10,000ths", "100,000ths"};
  if (code >= -7 && code <= 5) return kFractionsAndPlaces[code + 7];
  if (code == 100) return "100s";
  if (code == 1000) return "1,000s";
  return {};
}

int GatherSeriesFacts(FileSystem& fs, const std::string& dir, const std::string& symbol,
                      SeriesFacts* facts) {
  MasterRecord record;
  std::string recordDir;
  if (FindMasterRecord(fs, dir, symbol, &record, &recordDir) != kSuccess) return 1;
  FieldLayout layout;
  if (ReadSymbolLayout(fs, recordDir, record, &layout) != kSuccess) {
    return 1;
  }
  const std::string path = FindNoCase(fs, recordDir, QuoteFileName(record.fileNumber()));
  auto file = path.empty() ? nullptr : fs.OpenForRead(path);
  std::uint8_t header[4] = {};
  std::size_t got = 0;
  if (!file || !file->ReadAt(0, sizeof header, header, &got)) return 1;

  SeriesFacts gathered;
  gathered.path = dir;
  gathered.fileNumber = record.fileNumber();
  gathered.recordLength = static_cast<std::uint8_t>(record.recordLength());
  gathered.fieldCount = static_cast<std::uint8_t>(record.fieldCount());
  gathered.quotes = got == sizeof header ? QuotesAnnounced(header) : 0;
  gathered.name = ShownText(record.nameText());
  gathered.firstDate = record.firstDate();
  gathered.lastDate = record.lastDate();
  gathered.dataFormat = PeriodicityText(record.periodicity());
  gathered.symbol = ShownText(record.symbolText());
  for (std::size_t q = 0; q < kQuantityCount; ++q) {
    if (layout.position[q] == 0) continue;
    gathered.inputFormat[q] = FormatCodeText(layout.inputCode[q]);
    gathered.displayFormat[q] = FormatCodeText(layout.displayCode[q]);
  }
  *facts = std::move(gathered);
  return 0;
}

}  // namespace barvane
