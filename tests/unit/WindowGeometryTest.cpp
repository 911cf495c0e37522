#include <gtest/gtest.h>

#include <limits>

#include "layout/WindowGeometry.h"

namespace {

constexpr int kMax = std::numeric_limits<int>::max();
constexpr int kMin = std::numeric_limits<int>::min();

TEST(WindowExtent, IsTheLargerClientExtentPlusFrameWithinRange) {
    const struct {
        int configured, picture, frame, extent;
    } cases[] = {
        {300, 640, 16, 656},  {700, 640, 16, 716},   {-5000, 0, 16, 16},       {kMax, 0, 16, 32767},
        {kMin, kMin, 16, 16}, {32760, 0, 16, 32767}, {100, kMax, kMax, 32767}, {100, 0, kMin, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WindowExtent(c.configured, c.picture, c.frame), c.extent)
            << c.configured << " " << c.picture << " " << c.frame;
    }
}

TEST(OntoWorkArea, MovesOnlyAWindowWhollyOutside) {
    const GridRect work{0, 0, 1024, 740};
    const struct {
        WindowPlace window, placed;
    } cases[] = {
        {{100, 100, 500, 300}, {100, 100, 500, 300}},     // inside
        {{-300, -200, 500, 300}, {-300, -200, 500, 300}}, // partly outside: the author's choice
        {{-300, -300, 6, 25}, {0, 0, 6, 25}},             // wholly above and left
        {{32767, 32767, 100, 100}, {924, 640, 100, 100}}, // wholly below and right
        {{kMax, kMin, 200, 100}, {824, 0, 200, 100}},
        {{kMax, 10, kMax, 100}, {0, 10, kMax, 100}}, // wider than the work area: its left edge
        {{1024, 100, 10, 10}, {1014, 100, 10, 10}},  // touching the edge from outside
        {{-10, 100, 10, 10}, {0, 100, 10, 10}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(OntoWorkArea(c.window, work), c.placed) << c.window.left << "," << c.window.top;
    }
}

} // namespace
