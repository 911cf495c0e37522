#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "layout/TipGeometry.h"

namespace {

const TipRect kClient{0, 0, 400, 300};

TEST(StartStrip, ChoosesTheSideWithRoomAndTheRows) {
    const struct {
        TipRect button;
        int W, H;
        int direction;
        TipRect strip;
    } cases[] = {
        // 50 pixels right of the button are less than W = 100: grow leftwards from its left edge.
        {{250, 40, 350, 70}, 100, 20, -1, {250, 40, 250, 60}},
        // With W = 40 there is room: start 50 pixels inside the right edge, grow rightwards.
        {{250, 40, 350, 70}, 40, 20, 1, {300, 40, 300, 60}},
        // Too little room below the button's top for H: the strip ends at the button's bottom.
        {{20, 260, 120, 290}, 40, 60, 1, {70, 230, 70, 290}},
        // H of 0 spans the button's own height.
        {{20, 100, 120, 130}, 40, 0, 1, {70, 100, 70, 130}},
    };
    for (const auto& c : cases) {
        const StripStart start = StartStrip(kClient, c.button, c.W, c.H);
        EXPECT_EQ(start.direction, c.direction);
        EXPECT_EQ(start.rect, c.strip);
    }
}

std::vector<int> Widths(int direction, int speed, int W, int ticks, bool growing, int start) {
    TipRect r{200, 0, 200 + start, 20};
    std::vector<int> widths;
    for (int i = 0; i < ticks; ++i) {
        const StripStep step = StepStrip(r, direction, growing, W, speed);
        r = step.rect;
        widths.push_back(step.retracted ? -1 : r.Width());
    }
    return widths;
}

TEST(StepStrip, GrowsBySpeedToTheFullWidthAndRetractsUntilHidden) {
    EXPECT_EQ(Widths(1, 7, 100, 16, true, 0),
              (std::vector<int>{7, 14, 21, 28, 35, 42, 49, 56, 63, 70, 77, 84, 91, 98, 100, 100}));
    EXPECT_EQ(Widths(1, 7, 100, 16, false, 100),
              (std::vector<int>{93, 86, 79, 72, 65, 58, 51, 44, 37, 30, 23, 16, 9, 2, -1, -1}));
    EXPECT_EQ(Widths(1, 0, 100, 3, true, 0), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(Widths(1, 0, 100, 1, false, 0), (std::vector<int>{-1}));
}

TEST(StepStrip, KeepsTheAnchorSide) {
    const StripStep left = StepStrip({250, 40, 250, 60}, -1, true, 100, 7);
    EXPECT_EQ(left.rect, (TipRect{243, 40, 250, 60}));
    const StripStep back = StepStrip({150, 40, 250, 60}, -1, false, 100, 7);
    EXPECT_EQ(back.rect, (TipRect{157, 40, 250, 60}));
    // Hidden with width 0 at the anchor, so the next slide starts at the button again.
    const StripStep gone = StepStrip({248, 40, 250, 60}, -1, false, 100, 7);
    EXPECT_TRUE(gone.retracted);
    EXPECT_EQ(gone.rect, (TipRect{250, 40, 250, 60}));
    EXPECT_EQ(StepStrip({300, 40, 302, 60}, 1, false, 100, 7).rect, (TipRect{300, 40, 300, 60}));
}

TEST(CursorTipPosition, JumpsLeftAndUpWhereTheBoxWouldNotFit) {
    const TipRect frame{100, 50, 600, 450};
    EXPECT_EQ(CursorTipPosition({200, 100}, frame, 150, 40), (TipPoint{200, 100}));
    // 100 pixels from the right edge with W = 150: 180 pixels left of the cursor.
    EXPECT_EQ(CursorTipPosition({500, 100}, frame, 150, 40), (TipPoint{500 - 180, 100}));
    EXPECT_EQ(CursorTipPosition({200, 430}, frame, 150, 40), (TipPoint{200, 430 - 70}));
}

// Sizes from the file at int's ends: every result stops at the range instead of overflowing.
TEST(TipGeometry, SaturatesAtIntsEnds) {
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(StartStrip(kClient, {kMin, 40, kMin + 10, 70}, kMax, kMax).rect,
              (TipRect{kMin, 70 - kMax, kMin, 70}));
    EXPECT_EQ(StartStrip(kClient, {0, kMax - 5, 100, kMax}, 10, kMax).rect,
              (TipRect{50, kMax - kMax, 50, kMax}));
    EXPECT_EQ(StartStrip(kClient, {20, kMax - 5, 120, kMax}, 10, 1).rect,
              (TipRect{70, kMax - 1, 70, kMax}));
    EXPECT_EQ(StartStrip({kMin, 0, kMax, 300}, {20, 0, 120, 30}, 10, 0).direction, 1);
    EXPECT_EQ(StepStrip({kMin, 0, kMax, 20}, 1, true, kMax, 7).rect, (TipRect{kMin, 0, kMax, 20}));
    EXPECT_EQ(StepStrip({kMin + 3, 0, kMin + 5, 20}, -1, true, kMax, kMax).rect.left, kMin);
    EXPECT_EQ(StepStrip({kMax - 5, 0, kMax, 20}, 1, true, kMax, kMax).rect.right, kMax);
    EXPECT_EQ(StepStrip({kMin, 0, kMax, 20}, 1, false, kMax, kMax).rect.right, kMax - kMax);
    EXPECT_EQ(CursorTipPosition({kMin + 5, kMin + 5}, {kMin, kMin, kMin, kMin}, kMax, kMax),
              (TipPoint{kMin, kMin}));
    EXPECT_EQ((TipRect{kMin, kMin, kMax, kMax}.Width()), kMax);
    EXPECT_EQ((TipRect{kMax, kMax, kMin, kMin}.Height()), kMin);
}

} // namespace
