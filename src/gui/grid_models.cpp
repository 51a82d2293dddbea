// Grid models over the view state.
#include "gui/grid_models.h"

#include <algorithm>

#include "app/symbol_columns.h"
#include "app/symbol_filter.h"
#include "gui/qt_text.h"

namespace {

// Numbers line up on their last digit; the date and the texts read from the left.
QVariant Alignment(bool number) {
  return QVariant::fromValue(
      Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
}

}  // namespace

int SymbolGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int SymbolGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : barvane::kSymbolListColumns;
}

QVariant SymbolGridModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  const auto column = static_cast<barvane::SymbolColumn>(index.column());
  if (role == Qt::TextAlignmentRole) return Alignment(column == barvane::kSymbolListQuotes);
  if (role != Qt::DisplayRole) return {};
  // A rescan empties the rows and may paint before the grid is told; the stale rows show nothing.
  const auto stateRow = static_cast<std::size_t>(StateRow(index.row()));
  if (stateRow >= state_.m_symbolRows.size()) return {};
  const barvane::SymbolRow& row = state_.m_symbolRows[stateRow];
  if (column == barvane::kSymbolListSymbol || column == barvane::kSymbolListName) {
    return FromFileText(state_.m_codePage, column == barvane::kSymbolListSymbol ? row.symbol : row.name);
  }
  return FromLatin1(barvane::SymbolCellText(row, column, fullYears_));
}

QVariant SymbolGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= barvane::kSymbolListColumns) return {};
  if (role == Qt::TextAlignmentRole) return Alignment(section == barvane::kSymbolListQuotes);
  if (role != Qt::DisplayRole) return {};
  return QString::fromLatin1(barvane::kSymbolListHeadings[static_cast<std::size_t>(section)]);
}

void SymbolGridModel::Refresh() {
  beginResetModel();
  shown_ = barvane::ShownSymbolRows(state_.m_symbolRows, state_.m_symbolFilter, state_.m_codePage);
  fullYears_ = barvane::SymbolDatesNeedFullYears(state_.m_symbolRows);
  endResetModel();
}

int SymbolGridModel::StateRow(int gridRow) const {
  return gridRow >= 0 && gridRow < static_cast<int>(shown_.size()) ? shown_[static_cast<std::size_t>(gridRow)] : -1;
}

int SymbolGridModel::GridRow(int stateRow) const {
  const auto at = std::lower_bound(shown_.begin(), shown_.end(), stateRow);
  return at != shown_.end() && *at == stateRow ? static_cast<int>(at - shown_.begin()) : -1;
}

int QuoteGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(state_.m_quotes.rows.size());
}

int QuoteGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(barvane::QuoteColumns(state_.m_quotes.style).size());
}

barvane::QuoteColumn QuoteGridModel::ColumnAt(int section) const {
  return barvane::QuoteColumns(state_.m_quotes.style)[static_cast<std::size_t>(section)];
}

QVariant QuoteGridModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  const barvane::QuoteColumn column = ColumnAt(index.column());
  if (role == Qt::TextAlignmentRole) return Alignment(column > barvane::kQuoteTimeColumn);
  if (role != Qt::DisplayRole) return {};
  return FromLatin1(barvane::QuoteCellText(state_.m_quotes.rows[static_cast<std::size_t>(index.row())], column,
                                           state_.m_quotes.style));
}

QVariant QuoteGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  const barvane::QuoteColumn column = ColumnAt(section);
  if (role == Qt::TextAlignmentRole) return Alignment(column > barvane::kQuoteTimeColumn);
  if (role != Qt::DisplayRole) return {};
  return QString::fromLatin1(barvane::kQuoteColumnHeadings[static_cast<std::size_t>(column)]);
}

void QuoteGridModel::Refresh() {
  beginResetModel();
  endResetModel();
}

int PortfolioListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(state_.m_portfolios.size());
}

int PortfolioListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 1; }

QVariant PortfolioListModel::data(const QModelIndex& index, int role) const {
  if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !checkIndex(index, CheckIndexOption::IndexIsValid)) {
    return {};
  }
  const auto row = static_cast<std::size_t>(index.row());
  return row < state_.m_portfolios.size() ? FromPath(state_.m_portfolios[row]) : QVariant();
}

QVariant PortfolioListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section != 0) return {};
  return QStringLiteral("Portfolio");
}

void PortfolioListModel::Refresh() {
  beginResetModel();
  endResetModel();
}
