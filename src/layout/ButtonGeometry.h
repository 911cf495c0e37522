// The arithmetic of the owner-drawn controls' looks: shades, 3-D frame lines,
// check box and mark, text rectangles, tooltip escapes, and the keyboard's tab order.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/ValueConversions.h"
#include "util/Saturating.h"

struct Shades {
    ColorRef light, shadow, dark;
    bool operator==(const Shades&) const = default;
};

// Per component: light min(255, 3c/2), shadow c/2, dark c/10.
Shades DeriveShades(ColorRef background);

struct GridPoint {
    int x, y;
    bool operator==(const GridPoint&) const = default;
};

struct GridRect {
    int left, top, right, bottom;
    bool operator==(const GridRect&) const = default;
};

// One pen's two-segment line of the 3-D frame: start, corner, end (the end not drawn).
struct FrameLine {
    enum Pen { Light, Shadow, Dark } pen;
    std::array<GridPoint, 3> points;
    bool operator==(const FrameLine&) const = default;
};

// The frame of a client rectangle, raised or sunken (pressed), in drawing order.
std::array<FrameLine, 3> FrameLines(const GridRect& client, bool pressed);

// The check box's square: `checkDim` pixels, vertically centred, or the client height when 0.
GridRect CheckBoxRect(int clientHeight, int checkDim);

// The box frame as one closed line, drawn as a square of the box's height.
std::array<GridPoint, 5> CheckBoxFrame(const GridRect& box);

// The check mark's three points.
std::array<GridPoint, 3> CheckMark(const GridRect& box);

// A check box's caption rectangle: the client moved right to start at box height + 10.
GridRect CheckTextRect(const GridRect& client, int boxHeight);

// The focus rectangle around a check box's caption.
GridRect CheckFocusRect(const GridRect& text, int boxHeight);

// A push button's caption rectangle, right of the icon when there is one.
GridRect ButtonTextRect(const GridRect& client, int iconLeft, int iconWidth, bool hasIcon,
                        int pressOffset);

// A rectangle from a corner and a size; its far edges stop at int's range.
GridRect RectAt(int x, int y, int width, int height);

// The tooltip text with \n, \r, \b, \t and \v turned into their control characters.
std::wstring ExpandTooltipEscapes(std::wstring_view text);

// Keyboard order: each page control's page and tab index (-1: not reachable by Tab).
struct TabStop {
    int page;
    int tabIndex;
};

inline constexpr int kNoFocus = -1;
inline constexpr int kQuitButtonFocus = -2;

// The control to highlight when Tab starts from `current` (an index into
// `controls`, kQuitButtonFocus or kNoFocus); the quit button only ever comes first.
int FocusFirstControl(const std::vector<TabStop>& controls, int page, int current,
                      std::optional<int> quitTabIndex);
int FocusNextControl(const std::vector<TabStop>& controls, int page, int current,
                     std::optional<int> quitTabIndex);
