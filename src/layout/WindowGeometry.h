// Plain arithmetic gives the main window's size and place. Sizes and positions come from the
// configuration unchecked, so every sum saturates.
#pragma once

#include "layout/ButtonGeometry.h"

// No client or window extent set exceeds this: window coordinates beyond 16 bits are not
// handled alike by all systems, and no screen comes near it.
inline constexpr int kMaxWindowExtent = 32767;

// Returns one outer extent of the window: the larger of the configured and the picture's
// client extent, kept within 0 to kMaxWindowExtent, plus the frame's, kept as well.
int WindowExtent(int configured, int picture, int frame);

struct WindowPlace {
    int left, top, width, height;
    bool operator==(const WindowPlace&) const = default;
};

// A window that lies wholly outside the work area is moved onto it, as far as it
// fits with its top-left corner inside; any other window stays where it is.
WindowPlace OntoWorkArea(const WindowPlace& window, const GridRect& workArea);
