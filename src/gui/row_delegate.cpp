// Grid row painting.
#include "gui/row_delegate.h"

#include <QPainter>

void RowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const bool selected = option.state & QStyle::State_Selected;
  const QPalette& palette = option.palette;
  painter->save();
  painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());
  painter->setPen(selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Text));
  const QRect text = option.rect.adjusted(2, 0, -2, 0);
  painter->setClipRect(text);
  const QVariant alignment = index.data(Qt::TextAlignmentRole);
  painter->drawText(
      text,
      alignment.isValid() ? alignment.value<Qt::Alignment>() : Qt::AlignLeft | Qt::AlignVCenter,
      index.data().toString());
  painter->setClipping(false);
  painter->setPen(QColor(192, 192, 192));
  const QRect r = option.rect;
  painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
  painter->drawLine(r.right(), r.top(), r.right(), r.bottom());
  painter->restore();
}
