// Grid models over the view state.
#include "gui/grid_models.h"

#include "gui/qt_text.h"

namespace {

// Numbers line up on their last digit; the date and the texts read from the left.
QVariant Alignment(bool number) {
  return QVariant::fromValue(
      Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
}

}  // namespace

int SymbolGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(state_.m_symbolRows.size());
}

int SymbolGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant SymbolGridModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  const barvane::SymbolRow& row = state_.m_symbolRows[static_cast<std::size_t>(index.row())];
  return FromFileText(state_.m_codePage, index.column() == kSymbol ? row.symbol : row.name);
}

QVariant SymbolGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
  return section == kSymbol ? QStringLiteral("Symbol") : QStringLiteral("Name");
}

void SymbolGridModel::Refresh() {
  beginResetModel();
  endResetModel();
}

int QuoteGridModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(state_.m_quotes.rows.size());
}

int QuoteGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumnCount; }

QVariant QuoteGridModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
  if (role == Qt::TextAlignmentRole) return Alignment(index.column() != kDate);
  if (role != Qt::DisplayRole) return {};
  return FromLatin1(barvane::QuoteCellText(state_.m_quotes.rows[static_cast<std::size_t>(index.row())], index.column()));
}

QVariant QuoteGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
  if (role == Qt::TextAlignmentRole) return Alignment(section != kDate);
  if (role != Qt::DisplayRole) return {};
  return QString::fromLatin1(barvane::kQuoteColumnHeadings[static_cast<std::size_t>(section)]);
}

void QuoteGridModel::Refresh() {
  beginResetModel();
  endResetModel();
}
