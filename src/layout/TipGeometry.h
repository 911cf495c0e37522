// Plain arithmetic says where tooltips appear and how a button's strip grows and retracts
// per timer tick.
#pragma once

#include "util/Saturating.h"

struct TipRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return SatSub(right, left); }
    int Height() const { return SatSub(bottom, top); }
    bool operator==(const TipRect&) const = default;
};

struct TipPoint {
    int x = 0, y = 0;
    bool operator==(const TipPoint&) const = default;
};

// Before it first shows, a button's strip has width 0 at its anchor and a side to grow to.
struct StripStart {
    int direction; // -1 grows to the left, +1 to the right
    TipRect rect;
};

// `client` is the dialog's client rectangle, `button` the button's rectangle in it, W and H
// are the configured tooltip width and height.
StripStart StartStrip(const TipRect& client, const TipRect& button, int W, int H);

struct StripStep {
    TipRect rect;
    bool retracted; // narrow enough to hide: the timer stops and the strip gets width 0
};

// One timer tick: a strip whose button is current grows toward W by `speed`;
// any other strip shrinks by `speed` until it is 2 pixels wide or less.
StripStep StepStrip(const TipRect& strip, int direction, bool growing, int W, int speed);

// Returns the cursor tooltip's top-left corner on the screen: at the cursor where the box fits
// within the dialog's outer frame, else W + 30 to the left or H + 30 above it.
TipPoint CursorTipPosition(TipPoint cursor, const TipRect& dialogFrame, int W, int H);
