// The main view's state and its fills, scans and selections.
#include "app/view_state.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/drives.h"
#include "app/list_order.h"
#include "app/portfolio_walk.h"
#include "app/symbol_filter.h"
#include "data/file_names.h"
#include "data/file_ops.h"
#include "data/printed.h"

namespace barvane {
namespace {

constexpr const char* kSearchSection = "Search";
constexpr const char* kSettingsSection = "Settings";
constexpr std::size_t kSeriesTextLimit = 16;
constexpr const char* kSymbolGridSection = "SymbolGrid";
constexpr const char* kPortfolioListSection = "PortfolioList";

ListSort ReadSort(const SettingsStore& settings, const char* section, int columns) {
  ListSort sort{settings.ReadInt(section, "SortColumn", 0), settings.ReadInt(section, "SortDown", 0) != 0};
  if (sort.column < 0 || sort.column >= columns) sort.column = 0;
  return sort;
}

void WriteSort(SettingsStore& settings, const char* section, ListSort sort) {
  settings.WriteInt(section, "SortColumn", sort.column);
  settings.WriteInt(section, "SortDown", sort.descending ? 1 : 0);
}

std::vector<std::string> InPortfolioOrder(const std::vector<std::string>& found, ListSort sort) {
  std::vector<std::string> ordered = PortfolioListOrder(found);
  if (sort.descending) std::reverse(ordered.begin(), ordered.end());
  return ordered;
}

}  // namespace

ViewState::ViewState(FileSystem& fs, SettingsStore& settings, Ui& ui)
    : m_portfolioSort(ReadSort(settings, kPortfolioListSection, 1)),
      m_symbolSort(ReadSort(settings, kSymbolGridSection, kSymbolListColumns)),
      fs_(fs),
      settings_(settings),
      ui_(ui) {
  m_search = SearchFilter::Make(settings_.ReadInt(kSearchSection, "Limit", 1) != 0,
                                settings_.ReadString(kSearchSection, "Name", fs_.CurrentDirectory()));
}

void ViewState::OverrideSearchFilter(const std::string& path) {
  m_search = SearchFilter::Make(true, path);
  searchOverridden_ = true;
}

void ViewState::ResetView(int level) {
  if (level <= 1) m_portfoliosFound = false;
  if (level <= 2) {
    m_portfolios.clear();
    m_selPortfolio = -1;
  }
  if (level <= 3) {
    ui_.SetWaitCursor(true);
    m_symbolRows.clear();
    m_symbolCount = 0;
    ui_.SetWaitCursor(false);
  }
  ui_.SetWaitCursor(true);
  m_quotes = QuoteGrid{};
  m_quoteCount = 0;
  ui_.SetWaitCursor(false);
}

bool ViewState::SetMasterPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
  if (path.empty() || AsciiUpper(last) != kMasterName) return false;
  const std::string before = m_portfolioDir;
  m_masterPath = path;
  m_portfolioDir = slash == std::string::npos ? std::string() : path.substr(0, slash);
  // The root's MASTER is "/MASTER" (or "C:/MASTER"): its directory is the root, "/" included.
  if (slash != std::string::npos && slash < RootLength(path)) m_portfolioDir = path.substr(0, slash + 1);
  if (m_portfolioDir != before) ui_.ClearNotes();
  m_masterPathValid = true;
  m_codePage = CodePage::Named(settings_.ReadString(kCodePageSection, m_portfolioDir, kDefaultCodePage))
                   .value_or(CodePage());
  return true;
}

void ViewState::SetCodePage(const CodePage& page) {
  m_codePage = page;
  (void)settings_.WriteString(kCodePageSection, m_portfolioDir, page.name());
}

void ViewState::SetUpDrives() {
  m_drives = ListDrives(fs_);
  const std::string saved = settings_.ReadString(kSettingsSection, "Drive", "");
  m_drive = searchOverridden_ ? DriveForRescan(m_drives, m_search, fs_.CurrentDirectory())
                              : ChooseDrive(m_drives, saved, fs_.CurrentDirectory());
  settings_.WriteString(kSettingsSection, "Drive", m_drive);
  ScanDrive();
}

void ViewState::ChangeDrive(const std::string& drive) {
  if (drive == m_drive) return;
  m_drive = drive;
  settings_.WriteString(kSettingsSection, "Drive", m_drive);
  ResetView(1);
  ScanDrive();
}

void ViewState::ScanDrive() {
  ResetView(2);
  ui_.BeginScan();
  const std::vector<std::string> found =
      m_drive.empty() || m_drive == kNoDrive ? std::vector<std::string>{}
                                              : WalkDirectory(fs_, m_drive, m_search, ui_);
  ui_.Beep();
  ui_.EndScan();
  if (found.empty()) {
    ui_.ShowMessage(NoPortfoliosText(m_drive));
    m_portfoliosFound = false;
    return;
  }
  m_portfoliosFound = true;
  m_portfolios = InPortfolioOrder(found, m_portfolioSort);
  SelectPortfolio(0);
}

void ViewState::SortPortfolios() {
  m_portfolioSort = SortAfterClick(m_portfolioSort, 0);
  WriteSort(settings_, kPortfolioListSection, m_portfolioSort);
  if (m_portfolios.empty()) return;
  const std::string current = m_portfolios[static_cast<std::size_t>(std::max(0, m_selPortfolio))];
  m_portfolios = InPortfolioOrder(m_portfolios, m_portfolioSort);
  m_selPortfolio = static_cast<int>(std::find(m_portfolios.begin(), m_portfolios.end(), current) - m_portfolios.begin());
}

void ViewState::SortSymbols(int column) {
  if (column < 0 || column >= kSymbolListColumns) return;
  m_symbolSort = SortAfterClick(m_symbolSort, column);
  WriteSort(settings_, kSymbolGridSection, m_symbolSort);
  const std::vector<std::size_t> order = SymbolRowOrder(m_symbolRows, m_symbolSort);
  std::vector<SymbolRow> sorted;
  sorted.reserve(order.size());
  const std::int32_t current = m_selSymbolRow;
  for (std::size_t r = 0; r < order.size(); ++r) {
    if (static_cast<std::int32_t>(order[r]) == current) m_selSymbolRow = static_cast<std::int32_t>(r);
    sorted.push_back(std::move(m_symbolRows[order[r]]));
  }
  m_symbolRows = std::move(sorted);
}

void ViewState::SelectPortfolio(int index) {
  if (!m_portfoliosFound || index < 0 || index >= static_cast<int>(m_portfolios.size())) return;
  m_selPortfolio = index;
  const std::string dir = WithTrailingSlash(m_portfolios[static_cast<std::size_t>(index)]);
  const std::string master = FindNoCase(fs_, dir, kMasterName);
  SetMasterPath(master.empty() ? dir + kMasterName : master);
  FillSymbolGrid(0);
}

void ViewState::ApplySearchFilter(bool limit, const std::string& path) {
  const SearchFilter before = m_search;
  m_search = SearchFilter::Make(limit, path);
  settings_.WriteInt(kSearchSection, "Limit", limit ? 1 : 0);
  settings_.WriteString(kSearchSection, "Name", path);
  if (!FilterChanged(before, m_search)) return;
  const std::string drive = DriveForRescan(m_drives, m_search, fs_.CurrentDirectory());
  m_drive = kNoDrive;
  ChangeDrive(drive);
}

void ViewState::FillSymbolGrid(int selectRow) {
  ResetView(3);
  ui_.SetWaitCursor(true);
  SymbolListing listing;
  bool failed = !m_masterPathValid;
  if (failed) {
    ui_.ShowMessage(kSymbolGridFailureText, MessageIcon::kStop);
  } else if (!ReadSymbolListing(fs_, m_masterPath, ui_, &listing)) {
    failed = true;
  } else if (listing.needsRepair && !RepairBlankSymbols(fs_, m_masterPath)) {
    failed = true;
    ResetView(3);
    ui_.ShowMessage(kSymbolGridFailureText, MessageIcon::kStop);
  }
  if (!failed) {
    for (std::size_t r : SymbolRowOrder(listing.rows, m_symbolSort)) m_symbolRows.push_back(std::move(listing.rows[r]));
    m_symbolCount = static_cast<std::int32_t>(m_symbolRows.size());
    if (m_symbolCount == 0) {
      m_selSymbolRow = selectRow;
      m_title = "Barvane - " + m_portfolioDir + " - (no symbols)";
    } else {
      SelectSymbolRow(selectRow);
    }
    FillQuotesGrid(0);
  } else {
    m_symbolCount = 0;
  }
  ui_.SetWaitCursor(false);
}

bool ViewState::OpenSeries(const std::string& dir, const std::string& symbol) {
  const std::string master = FindNoCase(fs_, WithTrailingSlash(dir), kMasterName);
  SetMasterPath(master.empty() ? WithTrailingSlash(dir) + kMasterName : master);
  m_portfolioDir = dir;
  m_portfoliosFound = true;
  m_symbolRows.clear();
  m_seriesSymbol = symbol;
  FillQuotesGrid(0);
  return m_quotes.quoteCount == static_cast<std::int32_t>(m_quotes.rows.size()) &&
         !m_lastDateText.empty();
}

int ViewState::QuoteRowOf(const std::string& dateText) const {
  QuoteMoment moment;
  if (!ReadMomentText(dateText, &moment)) return -1;
  for (std::size_t r = 0; r < m_quotes.rows.size(); ++r) {
    const QuoteGridRow& row = m_quotes.rows[r];
    if (row.day == moment.day && (!moment.time || row.time == *moment.time)) return static_cast<int>(r);
  }
  return -1;
}

int ViewState::QuoteRowsOfDay(DayNumber day) const {
  return static_cast<int>(std::count_if(m_quotes.rows.begin(), m_quotes.rows.end(),
                                        [day](const QuoteGridRow& row) { return row.day == day; }));
}

ViewState::QuotePlace ViewState::CurrentQuotePlace() const {
  if (m_selQuoteRow < 0 || m_selQuoteRow >= static_cast<int>(m_quotes.rows.size())) return {};
  const QuoteGridRow& row = m_quotes.rows[static_cast<std::size_t>(m_selQuoteRow)];
  return {true, row.day, row.time, m_selQuoteRow};
}

void ViewState::ReturnToQuotePlace(const QuotePlace& place) {
  if (!place.any || m_quotes.rows.empty()) return;
  const auto& rows = m_quotes.rows;
  const auto before = [&](const QuoteGridRow& row) {
    return row.day < place.day || (row.day == place.day && row.time < place.time);
  };
  // Among quotes of one moment the one at the old row, so that a repeated bar keeps its row.
  int same = -1, older = -1;
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const int i = static_cast<int>(r);
    if (rows[r].day == place.day && rows[r].time == place.time) {
      if (same < 0 || std::abs(i - place.row) < std::abs(same - place.row)) same = i;
    } else if (older < 0 && before(rows[r])) {
      older = i;
    }
  }
  SelectQuoteRow(same >= 0 ? same : older >= 0 ? older : static_cast<int>(rows.size()) - 1);
}

void ViewState::RefillQuotesKeepingPlace() {
  const QuotePlace place = CurrentQuotePlace();
  FillQuotesGrid(0);
  ReturnToQuotePlace(place);
}

std::string ViewState::QuoteDayText(int row) const {
  if (row < 0 || row >= static_cast<int>(m_quotes.rows.size())) return {};
  return DateText(m_quotes.rows[static_cast<std::size_t>(row)].day, m_quotes.style.fourDigitYears);
}

std::string ViewState::QuoteDateText(int row) const {
  if (row < 0 || row >= static_cast<int>(m_quotes.rows.size())) return {};
  return QuoteMomentText(m_quotes.rows[static_cast<std::size_t>(row)], m_quotes.style);
}

void ViewState::FillQuotesGrid(int selectRow) {
  ResetView(4);
  if (!m_symbolRows.empty()) {
    const SymbolRow& row = m_symbolRows[static_cast<std::size_t>(
        std::clamp(m_selSymbolRow, 0, static_cast<std::int32_t>(m_symbolRows.size()) - 1))];
    m_seriesSymbol = row.symbol.substr(0, kSeriesTextLimit);
    m_seriesName = row.name.substr(0, kSeriesTextLimit);
  } else if (m_seriesSymbol.empty()) {
    return;
  }
  m_firstDateText.clear();
  m_lastDateText.clear();
  if (!FillQuoteGrid(fs_, m_portfolioDir, m_seriesSymbol, ui_, &m_quotes)) return;
  m_quoteCount = static_cast<std::int32_t>(m_quotes.rows.size());
  m_firstDateText = m_quotes.firstDateText;
  m_lastDateText = m_quotes.lastDateText;
  m_selQuoteRow = selectRow;
}

void ViewState::SelectSymbolRow(int row) {
  if (row < 0 || row >= static_cast<int>(m_symbolRows.size())) return;
  m_selSymbolRow = row;
  m_title = "Barvane - " + m_portfolioDir + " - " + m_symbolRows[static_cast<std::size_t>(row)].symbol;
}

void ViewState::SelectQuoteRow(int row) {
  if (row >= 0 && row < m_quoteCount) m_selQuoteRow = row;
}

bool ViewState::CommandEnabled(CommandId command) const {
  const bool quoteRows = !m_quotes.rows.empty();
  const bool symbolRows = !m_symbolRows.empty();
  switch (command) {
    case kCmdEditQuote:
    case kCmdSplit:
    case kCmdAdjust:
    case kCmdDeleteQuote:
    case kCmdAddQuote:
      return m_portfoliosFound && quoteRows;
    case kCmdFindSymbol:
      return !m_symbolRows.empty();
    case kCmdGoToDate:
      return quoteRows;
    case kCmdNewQuote:  // an empty series takes its first quote this way
      return m_portfoliosFound && symbolRows && !m_seriesSymbol.empty();
    case kCmdDataFacts:
    case kCmdDeleteSymbol:
      return m_portfoliosFound && symbolRows;
    case kCmdEditSymbol:
      return m_portfoliosFound && !m_splitSearchOpen && symbolRows;
    case kCmdSplitSearch:
      return m_portfoliosFound && !m_splitSearchOpen && quoteRows;
    case kCmdExport:
      return m_portfoliosFound && m_symbolCount != 0 && quoteRows;
    case kCmdCheckPortfolio:
    case kCmdCharacterSet:
      return m_portfoliosFound && m_masterPathValid;
    case kCmdMoveSymbol:
    case kCmdCopySymbol:
      return m_portfolios.size() >= 2 && symbolRows;
    case kCmdExportAll:
    case kCmdImportQuotes:
      return m_portfoliosFound && symbolRows;
    default:
      return true;
  }
}

std::string ViewState::SymbolPaneText() const {
  if (!m_symbolFilter.empty() && !m_symbolRows.empty()) {
    const std::vector<int> shown = ShownSymbolRows(m_symbolRows, m_symbolFilter, m_codePage);
    const auto at = std::find(shown.begin(), shown.end(), m_selSymbolRow);
    const int position = at == shown.end() ? 0 : static_cast<int>(at - shown.begin()) + 1;
    return FilteredSymbolPaneText(position, static_cast<int>(shown.size()), static_cast<int>(m_symbolRows.size()));
  }
  return m_symbolCount != 0 ? Printed("Symbol %d of %d", m_selSymbolRow + 1, m_symbolCount)
                            : "No Symbols Read";
}

std::string ViewState::QuotePaneText() const {
  return m_quoteCount != 0 ? Printed("Quote %d of %d", m_quoteCount - m_selQuoteRow, m_quoteCount)
                           : "No Quotes Read";
}

}  // namespace barvane
