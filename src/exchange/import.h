// Import: quotes read from delimited text written into a portfolio as one all-or-nothing
// change: merged into the quotes of an existing symbol, or as a new symbol, or as the first
// symbol of a new portfolio.
#pragma once

#include <string>

#include "app/ui.h"
#include "data/fs.h"
#include "exchange/import_text.h"

namespace barvane {

inline constexpr const char* kImportTitle = "Import";
inline constexpr std::size_t kImportSymbolLimit = 14;  // EMASTER's symbol field
inline constexpr std::size_t kImportNameLimit = 16;

struct ImportRequest {
  std::string dir;       // the portfolio directory; made when it holds no MASTER
  std::string symbol;    // looked up as every command looks a symbol up
  std::string name;      // the issue name of a new symbol; empty: the symbol
  bool replace = false;  // days the series has take the text's values
  bool exact = false;    // as replace, and days the text lacks are dropped: the series becomes the text
};

// What an import does, known before anything is written (the window's preview).
struct ImportPlanSummary {
  bool newPortfolio = false;
  bool newSymbol = false;
  int fileNumber = 0;
  int added = 0;     // days the series lacked
  int replaced = 0;  // days it had, given the text's values
  int kept = 0;      // days it had, left as they were
  int dropped = 0;   // days it had that an exact import removed
};

// Works out the import of `quotes` by `request` without writing anything. Returns false with
// `*error` saying why when it cannot be done.
[[nodiscard]] bool PlanImport(FileSystem& fs, const ImportRequest& request,
                              const ImportedText& quotes, ImportPlanSummary* summary,
                              std::string* error);

// Imports `quotes` by `request`.
// Into an existing symbol (its quotes in date order): days it lacks are added in date order,
// days it has kept or, with `replace`, given the text's numbers for the quantities the file
// holds. An intraday text (times other than midnight) merges only into a series whose layout
// holds TIME, bar by bar by date and time, and a daily text only into one without it; its quote file is replaced whole (its old bytes in
// F<n>.BAK), and the first and last dates of its records in MASTER, EMASTER and XMASTER follow
// its quotes. A new symbol takes the lowest free file number, a quote file of the columns the
// text holds (TIME after DATE and periodicity I for an intraday text; with F<m>.DOP when
// they are not a layout the record length implies), and its
// records at the end of every index file the portfolio has, with dates that match its quotes:
// MASTER (and EMASTER) while MASTER has room, else XMASTER and F<m>.MWD, XMASTER made when a
// portfolio with EMASTER has none; a full MASTER alone refuses. A directory without MASTER
// becomes a portfolio of that one symbol, with MASTER and EMASTER. The portfolio (the symbol's
// own directory included) is locked exclusively throughout. Every file is replaced
// crash-safely; on any failure every file is put back, the user is told why, and false is
// returned.
bool ImportQuotes(FileSystem& fs, Ui& ui, const ImportRequest& request, const ImportedText& quotes,
                  ImportPlanSummary* summary);

}  // namespace barvane
