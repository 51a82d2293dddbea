// Remembering the last portfolio and symbol and finding them again after the start-up scan;
// what has gone since is passed over silently.
#include "app/last_series.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/portfolio_builder.h"
#include "support/recording_ui.h"
#include "support/settings_place.h"
#include "support/single_drive_fs.h"

namespace barvane {
namespace {

using test::Symbol;

class LastSeries : public testing::Test {
 protected:
  void SetUp() override {
    for (const char* dir : {"P", "Q"}) {
      test::Build(
          drive.path() + dir,
          test::Portfolio(
              {Symbol(1, "ZED", test::Fields28(), test::WeekdayQuotes(YmdToDay(2024, 1, 1), 4)),
               Symbol(2, "ABC", test::Fields28(), test::WeekdayQuotes(YmdToDay(2024, 1, 1), 2))}));
    }
    bool created = false;
    ASSERT_TRUE(settings.OpenRootKey(settingsPlace.location(), &created));
  }
  // A start: the scan, then the restore.
  ViewState& Start() {
    state = std::make_unique<ViewState>(fs, settings, ui);
    state->SetUpDrives();
    RestoreSeries(*state);
    return *state;
  }

  test::TempDir drive;
  test::SettingsPlace settingsPlace;
  test::SingleDriveFs fs{drive.path()};
  SettingsStore settings{fs};
  test::RecordingUi ui;
  std::unique_ptr<ViewState> state;
};

TEST_F(LastSeries, TheRememberedSeriesComesBackWithItsQuotesAndWhatIsGoneIsPassedOver) {
  ViewState& first = Start();
  ASSERT_EQ(first.m_portfolios.size(), 2u);
  RememberSeries(first);  // P and ABC, the first of each
  first.SelectPortfolio(1);
  first.SelectSymbolRow(1);
  RememberSeries(first);
  EXPECT_EQ(settings.ReadString(kLastSeriesSection, "Portfolio", ""), first.m_portfolios[1]);
  EXPECT_EQ(settings.ReadString(kLastSeriesSection, "Symbol", ""), "ZED");

  ViewState& again = Start();
  EXPECT_EQ(std::tuple(again.m_selPortfolio, again.m_selSymbolRow, again.m_quoteCount), std::tuple(1, 1, 4));
  EXPECT_EQ(again.m_title, "Barvane - " + again.m_portfolioDir + " - ZED");  // its series shown

  // What is gone is passed over, and nothing is stored without a portfolio.
  settings.WriteString(kLastSeriesSection, "Portfolio", drive.path() + "Q");
  settings.WriteString(kLastSeriesSection, "Symbol", "GONE");
  ViewState& start = Start();
  EXPECT_EQ(start.m_selPortfolio, 1);
  EXPECT_EQ(start.m_seriesSymbol, "ABC");

  std::filesystem::remove_all(drive.path() + "Q");
  EXPECT_EQ(Start().m_selPortfolio, 0);
  EXPECT_TRUE(ui.messages.empty());

  std::filesystem::remove_all(drive.path() + "P");
  ViewState& empty = Start();  // no portfolio at all: told by the scan, nothing remembered
  RememberSeries(empty);
  EXPECT_EQ(settings.ReadString(kLastSeriesSection, "Portfolio", "kept"), drive.path() + "Q");
}

}  // namespace
}  // namespace barvane
