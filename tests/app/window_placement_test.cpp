// The main window's placement, kept per screen size.
#include "app/window_placement.h"

#include <gtest/gtest.h>

#include "support/settings_place.h"

namespace barvane {
namespace {

TEST(WindowPlacement, IsKeptPerScreenSizeAndUsedOnlyWhereItFits) {
  test::SettingsPlace place;
  SettingsStore settings(FileSystem::Default());
  bool created = false;
  ASSERT_TRUE(settings.OpenRootKey(place.location(), &created));
  const ScreenRect small{0, 0, 800, 600}, large{0, 0, 1400, 1000}, panelled{0, 24, 1400, 976};
  EXPECT_EQ(PlacementSection(panelled), "Screen 1400x976");

  // First start on each screen: 95 % of it, centred, stored at once.
  EXPECT_EQ(RestorePlacement(settings, small), (ScreenRect{20, 15, 760, 570}));
  EXPECT_EQ(settings.ReadInt("Screen 800x600", "cx", 0), 760);
  EXPECT_EQ(RestorePlacement(settings, panelled), (ScreenRect{35, 48, 1330, 927}));

  // A window kept on the small screen is not the large screen's, and the reverse.
  StorePlacement(settings, small, {-8, 0, 800, 600});
  StorePlacement(settings, large, {100, 50, 1200, 900});
  EXPECT_EQ(RestorePlacement(settings, small), (ScreenRect{0, 0, 800, 600}));
  EXPECT_EQ(RestorePlacement(settings, large), (ScreenRect{100, 50, 1200, 900}));

  // Stored ones partly beyond the screen come back onto it; larger or empty ones give way.
  const ScreenRect centred{35, 25, 1330, 950};
  const struct {
    ScreenRect stored, placed;
  } cases[] = {{{201, 50, 1200, 900}, {200, 50, 1200, 900}}, {{-1, 101, 1200, 900}, {0, 100, 1200, 900}},
               {{0, 0, 1400, 1000}, {0, 0, 1400, 1000}},    {{0, 0, 1401, 1000}, centred},
               {{0, 0, 1400, 1001}, centred},               {{0, 0, 0, 900}, centred}};
  for (const auto& c : cases) {
    for (auto [key, value] : {std::pair{"x", c.stored.x}, std::pair{"y", c.stored.y}, std::pair{"cx", c.stored.width},
                              std::pair{"cy", c.stored.height}}) {
      settings.WriteInt("Screen 1400x1000", key, value);
    }
    EXPECT_EQ(RestorePlacement(settings, large), c.placed) << c.stored.x << "," << c.stored.y << " " << c.stored.width;
  }
}

}  // namespace
}  // namespace barvane
