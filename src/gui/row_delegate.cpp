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
  const QVariant alignment = index.data(Qt::TextAlignmentRole);
  // A text too long for its column shows that it is cut, never a number that merely lacks
  // digits; the blanks that pad a name are no part of it.
  QString shown = index.data().toString();
  while (shown.endsWith(QLatin1Char(' '))) shown.chop(1);
  painter->drawText(text, alignment.isValid() ? alignment.value<Qt::Alignment>() : Qt::AlignLeft | Qt::AlignVCenter,
                    option.fontMetrics.elidedText(shown, option.textElideMode, text.width()));
  painter->setPen(QColor(192, 192, 192));
  const QRect r = option.rect;
  painter->drawLine(r.left(), r.bottom(), r.right(), r.bottom());
  painter->drawLine(r.right(), r.top(), r.right(), r.bottom());
  painter->restore();
}
