// The working state of the main view and the operations that change it: the drive and its
// portfolios, the current portfolio, its symbol grid, the current series' quote grid, the
// current rows, the window title, the command enabling and the status panes. The window only
// presents this state; commands and tests use it without a window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/command_ids.h"
#include "app/quote_grid.h"
#include "app/search_filter.h"
#include "app/settings_store.h"
#include "app/symbol_columns.h"
#include "app/symbol_list.h"
#include "app/ui.h"
#include "data/code_page.h"
#include "data/fs.h"

namespace barvane {

inline constexpr const char* kNoDrive = "?";
inline constexpr const char* kCodePageSection = "CodePage";

class ViewState {
 public:
  ViewState(FileSystem& fs, SettingsStore& settings, Ui& ui);

  // The filter for this run only (a directory given on the command line); nothing is saved.
  void OverrideSearchFilter(const std::string& path);

  // 1: no portfolios found, 2: portfolio list emptied, 3: symbol grid emptied, 4: quote grid
  // emptied; each level does every higher one too.
  void ResetView(int level);
  // Accepts a path whose last component is MASTER (any letter case) and sets the portfolio
  // directory, and its code page as the settings keep it, from it. A rejected path changes
  // nothing.
  bool SetMasterPath(const std::string& path);
  // The code page in which the current portfolio's symbols and names are shown and typed, kept
  // in the settings for its directory (section "CodePage"; windows-1252 when none is kept).
  void SetCodePage(const CodePage& page);

  void SetUpDrives();
  // The user picked another drive in the drive list.
  void ChangeDrive(const std::string& drive);
  void ScanDrive();
  // The user picked portfolio `index` of the portfolio list.
  void SelectPortfolio(int index);
  // The Search Filter dialog's OK: stores the filter and rescans when it changed.
  void ApplySearchFilter(bool limit, const std::string& path);

  // Makes `symbol` of portfolio `dir` the current series without a symbol grid, as the command
  // line works: the quote grid is filled for it and row 0 is current. False, after telling the
  // Ui, when its quotes cannot be read.
  bool OpenSeries(const std::string& dir, const std::string& symbol);
  // The first row from the top of the quote that `dateText` names (a date in any form the
  // date fields take, and the bar's time where given), or -1.
  int QuoteRowOf(const std::string& dateText) const;
  // How many rows hold a quote of `day`.
  int QuoteRowsOfDay(DayNumber day) const;
  // The text that names the quote of row `row`: its date, and its time for a series with
  // times ("" outside the grid).
  std::string QuoteDateText(int row) const;
  // The date alone of quote row `row`, as the grid shows it ("" outside the grid).
  std::string QuoteDayText(int row) const;

  void FillSymbolGrid(int selectRow);
  // A click on the header of symbol grid column `column`, or of the portfolio list: the rows in
  // the new order (SortAfterClick), the current one still current, and the order kept in the
  // settings ("SymbolGrid" and "PortfolioList", "SortColumn" and "SortDown") for the next start.
  void SortSymbols(int column);
  void SortPortfolios();
  // Refills the quote grid for the current symbol row (for the series opened with OpenSeries
  // when there is no symbol grid) and makes `selectRow` current.
  void FillQuotesGrid(int selectRow);
  // The current quote, to be found again after a change of the quotes.
  struct QuotePlace {
    bool any = false;
    DayNumber day = kNoDate;
    DaySeconds time = 0;
    int row = 0;
  };
  QuotePlace CurrentQuotePlace() const;
  // Makes the quote of `place` current again, or where it is gone its older neighbour (the
  // oldest row when none is older); row 0 when the place held no quote.
  void ReturnToQuotePlace(const QuotePlace& place);
  // FillQuotesGrid that keeps the user's place: the current quote stays current.
  void RefillQuotesKeepingPlace();
  // The row drawn selected becomes the current one (the symbol row also retitles the window).
  void SelectSymbolRow(int row);
  void SelectQuoteRow(int row);

  bool CommandEnabled(CommandId command) const;
  std::string SymbolPaneText() const;
  std::string QuotePaneText() const;

  // State, named as the window's fields.
  SearchFilter m_search;
  std::string m_drive = kNoDrive;  // mount point of the current drive
  std::vector<std::string> m_drives;
  std::vector<std::string> m_portfolios;  // the portfolio list, in its order
  ListSort m_portfolioSort;               // its one column, up or down
  int m_selPortfolio = -1;
  bool m_masterPathValid = false;
  bool m_portfoliosFound = false;
  std::string m_portfolioDir;
  std::string m_masterPath;
  std::vector<SymbolRow> m_symbolRows;  // the symbol grid, in the order of m_symbolSort
  ListSort m_symbolSort;
  std::string m_symbolFilter;           // the filter box's text (UTF-8): the grid shows ShownSymbolRows
  QuoteGrid m_quotes;                   // the quote grid
  std::string m_seriesSymbol;
  std::string m_seriesName;
  std::int32_t m_symbolCount = 0;
  std::int32_t m_selSymbolRow = 0;
  std::int32_t m_quoteCount = 0;
  std::int32_t m_selQuoteRow = 1;
  std::string m_firstDateText;
  std::string m_lastDateText;
  bool m_splitSearchOpen = false;
  std::string m_title = "Barvane";
  CodePage m_codePage;  // of the current portfolio

  FileSystem& fs() { return fs_; }
  SettingsStore& settings() { return settings_; }
  Ui& ui() { return ui_; }

 private:
  FileSystem& fs_;
  SettingsStore& settings_;
  Ui& ui_;
  bool searchOverridden_ = false;
};

}  // namespace barvane
