// Tool bar glyphs: a tinted tile per command family with a one- or two-letter mark.
#include "gui/tool_icons.h"

#include <QPainter>
#include <QPixmap>

using namespace barvane;

namespace {

struct Glyph {
  QColor tile;
  const char* mark;
};

Glyph GlyphOf(CommandId command) {
  const QColor portfolio(46, 110, 180), symbol(60, 140, 80), quote(190, 110, 30), other(110, 110, 120);
  switch (command) {
    case kCmdExit: return {other, "\xd7"};
    case kCmdSplitSearch: return {portfolio, "S?"};
    case kCmdSearchFilter: return {portfolio, "F"};
    case kCmdReScan: return {portfolio, "R"};
    case kCmdDeleteSymbol: return {symbol, "\xd7"};
    case kCmdMoveSymbol: return {symbol, "\xbb"};
    case kCmdCopySymbol: return {symbol, "+"};
    case kCmdEditSymbol: return {symbol, "E"};
    case kCmdDataFacts: return {symbol, "i"};
    case kCmdEditQuote: return {quote, "E"};
    case kCmdSplit: return {quote, "\xbd"};
    case kCmdAdjust: return {quote, "%"};
    case kCmdAddQuote: return {quote, "+"};
    case kCmdDeleteQuote: return {quote, "\xd7"};
    case kCmdExport: return {quote, "\xbb"};
    default: return {other, "?"};
  }
}

}  // namespace

QIcon ToolIcon(CommandId command) {
  const Glyph glyph = GlyphOf(command);
  QIcon icon;
  for (int scale : {1, 2}) {
    QPixmap pixmap(16 * scale, 15 * scale);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(glyph.tile.darker(140));
    painter.setBrush(glyph.tile);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15 * scale, 14 * scale), 3 * scale, 3 * scale);
    QFont font = painter.font();
    font.setPixelSize(10 * scale);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 16 * scale, 15 * scale), Qt::AlignCenter, QString::fromLatin1(glyph.mark));
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}
