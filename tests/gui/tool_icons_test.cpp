// The command icons offscreen: every tool bar button shows one, our own drawings render (the
// SVG plugins are there) and no two commands share a glyph; the windows carry the program's.
#include "gui/tool_icons.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QPainter>
#include <QToolBar>
#include <set>

#include "window_harness.h"

namespace barvane {
namespace {

QImage Blank() {
  QImage image(32, 32, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  return image;
}

QImage Drawn(const QIcon& icon) {
  QImage image = Blank();
  QPainter painter(&image);
  icon.paint(&painter, image.rect());
  return image;
}

TEST(ToolIcons, EveryButtonHasItsOwnGlyphAndTheWindowTheProgramsIcon) {
  test::GuiWindow w;
  w.Open();
  const QList<QAction*> buttons = w.frame->findChild<QToolBar*>()->actions();
  std::vector<QImage> drawn;
  std::set<QString> paths;
  for (CommandId command : {kCmdExit, kCmdSplitSearch, kCmdSearchFilter, kCmdReScan, kCmdDeleteSymbol, kCmdMoveSymbol,
                            kCmdCopySymbol, kCmdEditSymbol, kCmdDataFacts, kCmdEditQuote, kCmdSplit, kCmdAdjust,
                            kCmdAddQuote, kCmdDeleteQuote, kCmdExport, kCmdAbout}) {
    QAction* action = w.frame->action(command);
    SCOPED_TRACE(action->toolTip().toStdString());
    EXPECT_TRUE(buttons.contains(action));
    EXPECT_FALSE(action->icon().isNull());
    const QString path = OwnToolIconPath(command);
    EXPECT_TRUE(paths.insert(path).second);
    const QImage own = Drawn(QIcon(path));
    EXPECT_NE(own, Blank()) << "nothing drawn";
    for (const QImage& other : drawn) EXPECT_NE(own, other);
    drawn.push_back(own);
  }
  EXPECT_EQ(buttons.size() - 4, static_cast<qsizetype>(drawn.size()));  // and the four separators
  EXPECT_TRUE(OwnToolIconPath(kCmdToggleToolBar).isEmpty());
  EXPECT_FALSE(w.frame->windowIcon().isNull());
  EXPECT_NE(Drawn(AppIcon()), Blank());
}

}  // namespace
}  // namespace barvane
