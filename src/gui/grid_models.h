// The table models of the two grids. They own no data: they read the view state on demand,
// so a grid of 65,000 quotes costs only the rows on screen.
#pragma once

#include <QAbstractTableModel>

#include "app/view_state.h"

class SymbolGridModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit SymbolGridModel(const barvane::ViewState& state, QObject* parent = nullptr)
      : QAbstractTableModel(parent), state_(state) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // The state's rows or its symbol filter changed.
  void Refresh();
  // The grid shows the state's rows that the filter leaves: the state's row of grid row
  // `gridRow`, and the grid row of state row `stateRow` (-1 when the filter hides it).
  int StateRow(int gridRow) const;
  int GridRow(int stateRow) const;

 private:
  const barvane::ViewState& state_;
  std::vector<int> shown_;
  bool fullYears_ = false;
};

// The portfolio list: the state's portfolio directories, elided in the middle where too long.
class PortfolioListModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit PortfolioListModel(const barvane::ViewState& state, QObject* parent = nullptr)
      : QAbstractTableModel(parent), state_(state) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void Refresh();

 private:
  const barvane::ViewState& state_;
};

// The columns of barvane::QuoteColumns for the series shown: Time only for one with times.
class QuoteGridModel final : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit QuoteGridModel(const barvane::ViewState& state, QObject* parent = nullptr)
      : QAbstractTableModel(parent), state_(state) {}

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  void Refresh();

 private:
  barvane::QuoteColumn ColumnAt(int section) const;

  const barvane::ViewState& state_;
};
