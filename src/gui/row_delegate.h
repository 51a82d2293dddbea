// The row drawing of the lists and grids: highlight, text inset by 2 pixels and elided where its
// cell is too narrow, light grey grid lines along the bottom and right of each cell.
#pragma once

#include <QStyledItemDelegate>

class RowDelegate final : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
