// The two table models under QAbstractItemModelTester: filled, emptied and refilled from the
// view state, with the texts each cell and heading shows.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>

#include "gui/grid_models.h"
#include "support/portfolio_builder.h"
#include "support/recording_ui.h"
#include "support/single_drive_fs.h"

namespace barvane {
namespace {

using test::Symbol;
using Tester = QAbstractItemModelTester;

QString Cell(const QAbstractItemModel& model, int row, int column) {
  return model.data(model.index(row, column), Qt::DisplayRole).toString();
}
// Each heading with the cell of `row` under it, as "Heading=text" joined by blanks.
QString Row(const QAbstractItemModel& model, int row) {
  QStringList cells;
  for (int c = 0; c < model.columnCount(); ++c) cells << model.headerData(c, Qt::Horizontal).toString() + "=" + Cell(model, row, c);
  return cells.join(QLatin1Char(' '));
}

class GridModels : public testing::Test {
 protected:
  void SetUp() override {
    QuoteValues q{YmdToDay(2024, 3, 1), 0, 10.5f, 11.25f, 9.125f, 10.0f, 0.0f, 0.0f};
    QuoteValues r = q;
    r.day = YmdToDay(2024, 3, 4);
    r.close = 12.0f;
    // 24-byte records carry no open interest.
    test::Build(drive.path() + "P", test::Portfolio({Symbol(1, "MID", test::Fields24(), {q, r}),
                                                     Symbol(2, "ALPHA", test::Fields28(), {q})}));
    ASSERT_TRUE(state.SetMasterPath(drive.path() + "P/MASTER"));
  }

  test::TempDir drive;
  test::SingleDriveFs fs{drive.path()};
  SettingsStore settings{fs};
  test::RecordingUi ui;
  ViewState state{fs, settings, ui};
};

TEST_F(GridModels, SymbolModelFollowsFillsAndResets) {
  SymbolGridModel model(state);
  Tester tester(&model, Tester::FailureReportingMode::Fatal);
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_FALSE(model.headerData(0, Qt::Vertical, Qt::DisplayRole).isValid());

  state.FillSymbolGrid(0);
  model.Refresh();
  ASSERT_EQ(model.rowCount(), 2);
  EXPECT_EQ(Row(model, 0), "Symbol=ALPHA Name=ALPHA Ltd        First=03/01/24 Last=03/01/24 Periodicity=Daily Quotes=1");
  EXPECT_EQ(Cell(model, 1, 0), QStringLiteral("MID"));
  EXPECT_FALSE(model.data(model.index(0, 0), Qt::EditRole).isValid());
  EXPECT_EQ(model.rowCount(model.index(0, 0)), 0);

  state.ResetView(3);
  model.Refresh();
  EXPECT_EQ(model.rowCount(), 0);
  state.FillSymbolGrid(1);
  model.Refresh();
  EXPECT_EQ(model.rowCount(), 2);
  EXPECT_TRUE(ui.messages.empty());

  // The filter shows the rows it leaves, each mapped to its state row and back.
  state.m_symbolFilter = "mi";
  model.Refresh();
  ASSERT_EQ(model.rowCount(), 1);
  EXPECT_EQ(Cell(model, 0, 0), QStringLiteral("MID"));
  EXPECT_EQ((std::vector<int>{model.StateRow(0), model.StateRow(1), model.GridRow(1), model.GridRow(0)}),
            (std::vector<int>{1, -1, 0, -1}));
  EXPECT_EQ(state.SymbolPaneText(), "Symbol 1 of 1 shown, 2 in all");
}

TEST_F(GridModels, QuoteModelShowsNewestFirstWithMissingFieldsAsNA) {
  QuoteGridModel model(state);
  Tester tester(&model, Tester::FailureReportingMode::Fatal);
  EXPECT_FALSE(model.headerData(7, Qt::Horizontal, Qt::DisplayRole).isValid());

  state.FillSymbolGrid(0);
  state.SelectSymbolRow(1);  // MID
  state.FillQuotesGrid(0);
  model.Refresh();
  ASSERT_EQ(model.rowCount(), 2);
  EXPECT_EQ(Row(model, 0), "Date=03/04/24 Open=10.5000 High=11.2500 Low=9.1250 Close=12.0000 Volume=0 Open Interest=N/A");
  EXPECT_EQ(Cell(model, 1, 0), QStringLiteral("03/01/24"));
  // Numbers, "N/A" among them, and their headings right-aligned; the date left.
  QString aligned;
  for (int c = 0; c < 7; ++c) {
    for (const QVariant& v : {model.headerData(c, Qt::Horizontal, Qt::TextAlignmentRole), model.data(model.index(0, c), Qt::TextAlignmentRole)}) {
      aligned += (v.value<Qt::Alignment>() & Qt::AlignRight) ? QLatin1Char('R') : QLatin1Char('L');
    }
  }
  EXPECT_EQ(aligned, QStringLiteral("LLRRRRRRRRRRRR"));

  state.ResetView(4);
  model.Refresh();
  EXPECT_EQ(model.rowCount(), 0);
  state.SelectSymbolRow(0);  // ALPHA: one quote, open interest held
  state.FillQuotesGrid(0);
  model.Refresh();
  ASSERT_EQ(model.rowCount(), 1);
  EXPECT_EQ(Cell(model, 0, 6), QStringLiteral("0"));
}

}  // namespace
}  // namespace barvane
