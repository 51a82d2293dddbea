// Export: every quote of the current series as one line of a delimited text file, oldest or
// newest first, with a chosen delimiter, a chosen set of columns and an optional title row.
// The choices persist in the settings section "XportSel".
#pragma once

#include <array>
#include <string>

#include "app/settings_store.h"
#include "app/view_state.h"
#include "data/quote_series.h"

namespace barvane {

inline constexpr const char* kExportTitle = "Export";
inline constexpr const char* kExportSection = "XportSel";
inline constexpr const char* kExportErrorText = "file export error";
inline constexpr std::size_t kExportPathLimit = 200;

// The value columns that may be left out, in their export order.
enum ExportColumn : int { kExportOpen, kExportHigh, kExportLow, kExportClose, kExportVolume,
                          kExportOpenInterest, kExportColumnCount };

struct ExportChoices {
  std::string path = "output.txt";
  int delimiter = 0;  // 0 space, 1 comma, 2 tab; anything else counts as space
  std::array<bool, kExportColumnCount> omit{};
  bool titleRow = false;
  bool newestFirst = false;
  bool omitTime = false;  // of a series with times
};

// The choices stored in "XportSel", each falling back to its default.
ExportChoices ReadExportChoices(const SettingsStore& settings);
// Stores all eleven choices in "XportSel".
void StoreExportChoices(SettingsStore& settings, const ExportChoices& choices);

// The title row, without its line end: TIME after DATE for a series with times.
std::string ExportTitleLine(const ExportChoices& choices, DateStyle style);


// The whole text an export writes for the opened series `file` (null: a series that cannot be
// read): the title row when chosen and one line per quote (its date in SeriesDateStyle, its
// time unless omitted, its values), each ended by CR LF, oldest first
// from quote 0, or newest first from quote `quoteCount` - 1 down; a quote that cannot be read
// ends the lines there.
std::string ExportFileText(SeriesFile* file, std::int32_t quoteCount, const ExportChoices& choices);

// Writes `text` into `file` in one write and closes it; false when either failed.
[[nodiscard]] bool WriteExportFile(std::unique_ptr<WritableFile> file, const std::string& text);

enum class ExportResult { kDone, kDeclined, kFailed };

// The dialog's OK with `choices` for the series m_seriesSymbol of m_portfolioDir. An existing
// file at the path is replaced only when the user says Yes to the question. On kDone the file
// holds the title row when chosen and one line per quote, each ended by CR LF, in the chosen
// order (newest first starts at quote m_quoteCount - 1), the choices are stored, and the beep
// has sounded; a quote that cannot be read ends the lines there. On kDeclined nothing is
// written or stored. On kFailed the user has been told kExportErrorText; the choices are
// stored only when the file could be created.
ExportResult ExportQuotes(ViewState& view, const ExportChoices& choices);

}  // namespace barvane
