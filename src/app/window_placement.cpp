// The main window's placement per screen size.
#include "app/window_placement.h"

#include <algorithm>

namespace barvane {

std::string PlacementSection(const ScreenRect& screen) {
  return "Screen " + std::to_string(screen.width) + "x" + std::to_string(screen.height);
}

ScreenRect RestorePlacement(SettingsStore& settings, const ScreenRect& screen) {
  const std::string section = PlacementSection(screen);
  const ScreenRect stored{settings.ReadInt(section, "x", 0), settings.ReadInt(section, "y", 0),
                          settings.ReadInt(section, "cx", 0), settings.ReadInt(section, "cy", 0)};
  if (stored.width > 0 && stored.height > 0 && stored.width <= screen.width && stored.height <= screen.height) {
    // A window partly beyond the screen's edge is moved back onto it whole.
    return {std::clamp(stored.x, screen.x, screen.x + screen.width - stored.width),
            std::clamp(stored.y, screen.y, screen.y + screen.height - stored.height), stored.width, stored.height};
  }
  ScreenRect placed;
  placed.width = static_cast<int>(static_cast<float>(screen.width) * 0.95f);
  placed.height = static_cast<int>(static_cast<float>(screen.height) * 0.95f);
  placed.x = screen.x + (screen.width - placed.width) / 2;
  placed.y = screen.y + (screen.height - placed.height) / 2;
  StorePlacement(settings, screen, placed);
  return placed;
}

void StorePlacement(SettingsStore& settings, const ScreenRect& screen, const ScreenRect& window) {
  const std::string section = PlacementSection(screen);
  settings.WriteInt(section, "x", std::max(screen.x, window.x));
  settings.WriteInt(section, "y", std::max(screen.y, window.y));
  settings.WriteInt(section, "cx", window.width);
  settings.WriteInt(section, "cy", window.height);
}

}  // namespace barvane
