// Where the main window opens: the place and size it last had on a screen of the same size,
// kept per screen size, so that a window sized for a small screen is not reused on a large
// one, nor a large one forced onto a small screen.
#pragma once

#include <string>

#include "app/settings_store.h"

namespace barvane {

struct ScreenRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const ScreenRect&) const = default;
};

// The settings section that keeps the placement on a screen whose usable area is `screen`:
// "Screen 1400x1000".
std::string PlacementSection(const ScreenRect& screen);

// The placement stored for `screen` ("x", "y", "cx", "cy") when its size fits the screen's
// usable area, moved onto it where it lies partly beyond; otherwise 95 % of that area,
// centred, which is stored at once.
ScreenRect RestorePlacement(SettingsStore& settings, const ScreenRect& screen);

// Keeps `window` (its left and top raised to the screen's when beyond them) for `screen`.
void StorePlacement(SettingsStore& settings, const ScreenRect& screen, const ScreenRect& window);

}  // namespace barvane
