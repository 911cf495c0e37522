// This is the arithmetic of the owner-drawn controls' looks: shades, 3-D frame lines, check
// box and mark, text rectangles, tooltip escapes, and the keyboard's tab order.
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

// Each component c gives light min(255, 3c/2), shadow c/2 and dark c/10.
Shades DeriveShades(ColorRef background);

struct GridPoint {
    int x, y;
    bool operator==(const GridPoint&) const = default;
};

struct GridRect {
    int left, top, right, bottom;
    bool operator==(const GridRect&) const = default;
};

// One pen draws a two-segment line of the 3-D frame: start, corner, end (the end not drawn).
struct FrameLine {
    enum Pen { Light, Shadow, Dark } pen;
    std::array<GridPoint, 3> points;
    bool operator==(const FrameLine&) const = default;
};

// Returns the frame of a client rectangle, raised or sunken (pressed), in drawing order.
std::array<FrameLine, 3> FrameLines(const GridRect& client, bool pressed);

// Returns the box's square: `checkDim` pixels, vertically centred, or the client height for 0.
GridRect CheckBoxRect(int clientHeight, int checkDim);

// Returns the box frame as one closed line, a square of the box's height.
std::array<GridPoint, 5> CheckBoxFrame(const GridRect& box);

// Returns the check mark's three points.
std::array<GridPoint, 3> CheckMark(const GridRect& box);

// Returns a check box's caption rectangle: the client moved right to box height + 10.
GridRect CheckTextRect(const GridRect& client, int boxHeight);

// Returns the focus rectangle around a check box's caption.
GridRect CheckFocusRect(const GridRect& text, int boxHeight);

// Returns a push button's caption rectangle, right of the icon when there is one.
GridRect ButtonTextRect(const GridRect& client, int iconLeft, int iconWidth, bool hasIcon,
                        int pressOffset);

// Makes a rectangle from a corner and a size; its far edges stop at int's range.
GridRect RectAt(int x, int y, int width, int height);

// Turns \n, \r, \b, \t and \v in a tooltip text into their control characters.
std::wstring ExpandTooltipEscapes(std::wstring_view text);

// The keyboard order needs each page control's page and tab index (-1: not reached by Tab).
struct TabStop {
    int page;
    int tabIndex;
};

inline constexpr int kNoFocus = -1;
inline constexpr int kQuitButtonFocus = -2;

// Returns the control to highlight when Tab starts from `current` (an index into `controls`,
// kQuitButtonFocus or kNoFocus); the quit button only ever comes first.
int FocusFirstControl(const std::vector<TabStop>& controls, int page, int current,
                      std::optional<int> quitTabIndex);
int FocusNextControl(const std::vector<TabStop>& controls, int page, int current,
                     std::optional<int> quitTabIndex);
// Returns the control Shift+Tab highlights: the stop before `current` in that order, from the
// first (or from none) the last.
int FocusPreviousControl(const std::vector<TabStop>& controls, int page, int current,
                         std::optional<int> quitTabIndex);
