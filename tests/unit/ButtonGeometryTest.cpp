#include <gtest/gtest.h>

#include <limits>

#include "layout/ButtonGeometry.h"

namespace {

constexpr ColorRef Rgb(unsigned r, unsigned g, unsigned b) {
    return r | g << 8 | b << 16;
}

TEST(Shades, AreDerivedPerComponent) {
    EXPECT_EQ(DeriveShades(Rgb(200, 100, 50)),
              (Shades{Rgb(255, 150, 75), Rgb(100, 50, 25), Rgb(20, 10, 5)}));
    EXPECT_EQ(DeriveShades(0), (Shades{0, 0, 0}));
    EXPECT_EQ(DeriveShades(Rgb(255, 1, 9) | 0xFF000000u),
              (Shades{Rgb(255, 1, 13), Rgb(127, 0, 4), Rgb(25, 0, 0)}));
}

TEST(FrameLines, RaisedAndSunkenAtTheirCoordinates) {
    const GridRect client{0, 0, 100, 30};
    using L = FrameLine;
    EXPECT_EQ(FrameLines(client, false),
              (std::array<FrameLine, 3>{{{L::Light, {{{0, 28}, {0, 0}, {99, 0}}}},
                                         {L::Dark, {{{0, 29}, {99, 29}, {99, -1}}}},
                                         {L::Shadow, {{{1, 28}, {98, 28}, {98, 0}}}}}}));
    EXPECT_EQ(FrameLines(client, true),
              (std::array<FrameLine, 3>{{{L::Light, {{{1, 29}, {99, 29}, {99, 0}}}},
                                         {L::Dark, {{{0, 29}, {0, 0}, {100, 0}}}},
                                         {L::Shadow, {{{1, 28}, {1, 1}, {99, 1}}}}}}));
}

TEST(CheckBox, BoxMarkTextAndFocus) {
    EXPECT_EQ(CheckBoxRect(20, 0), (GridRect{0, 0, 20, 20}));
    EXPECT_EQ(CheckBoxRect(20, 12), (GridRect{0, 4, 12, 16}));
    EXPECT_EQ(CheckBoxRect(21, 12), (GridRect{0, 4, 12, 16}));
    EXPECT_EQ(CheckMark({0, 0, 20, 20}), (std::array<GridPoint, 3>{{{3, 10}, {6, 17}, {17, 3}}}));
    EXPECT_EQ(CheckMark({0, 4, 12, 16}), (std::array<GridPoint, 3>{{{3, 10}, {4, 13}, {9, 7}}}));
    EXPECT_EQ(CheckBoxFrame({0, 4, 12, 16}),
              (std::array<GridPoint, 5>{{{0, 4}, {12, 4}, {12, 15}, {0, 15}, {0, 4}}}));
    const GridRect text = CheckTextRect({0, 0, 150, 20}, 20);
    EXPECT_EQ(text, (GridRect{30, 0, 180, 20}));
    EXPECT_EQ(CheckFocusRect(text, 20), (GridRect{27, 1, 146, 19}));
}

TEST(ButtonText, StartsRightOfTheIconAndMovesWhenPressed) {
    EXPECT_EQ(ButtonTextRect({0, 0, 100, 30}, 4, 16, true, 1), (GridRect{25, 1, 100, 30}));
    EXPECT_EQ(ButtonTextRect({0, 0, 100, 30}, 4, 16, false, 0), (GridRect{4, 0, 100, 30}));
}

TEST(TooltipEscapes, BecomeControlCharacters) {
    EXPECT_EQ(ExpandTooltipEscapes(L"Line 1\\nLine 2"), L"Line 1\nLine 2");
    EXPECT_EQ(ExpandTooltipEscapes(L"\\r\\b\\t\\v\\x\\\\n"), L"\r\b\t\v\\x\\\n");
}

// Focus after each Tab (or Shift+Tab) press from nothing, as indexes (q for the quit button).
std::string Walk(const std::vector<TabStop>& controls, std::optional<int> quit, int presses,
                 bool backwards = false) {
    std::string order;
    int focus = kNoFocus;
    for (int i = 0; i < presses; ++i) {
        focus = backwards ? FocusPreviousControl(controls, 0, focus, quit)
                          : FocusNextControl(controls, 0, focus, quit);
        order += focus == kQuitButtonFocus ? "q" : focus == kNoFocus ? "-" : std::to_string(focus);
    }
    return order;
}

TEST(TabOrder, FollowsTabIndexesOfTheCurrentPage) {
    EXPECT_EQ(Walk({{0, 3}, {0, 1}, {0, 2}}, std::nullopt, 4), "1201");
    EXPECT_EQ(Walk({{0, 5}, {0, 7}, {0, 5}}, std::nullopt, 4), "0101"); // the second 5 never comes
    EXPECT_EQ(Walk({{0, 2}, {1, 1}, {0, -1}, {0, 1}}, std::nullopt, 3), "303");
    EXPECT_EQ(Walk({{0, 2}, {0, 1}}, 0, 4), "q10q"); // the quit button with 0 comes first
    EXPECT_EQ(Walk({{0, 2}, {0, 1}}, 5, 3), "101");  // with a larger index it never comes
    EXPECT_EQ(Walk({{0, -1}, {0, -1}}, 0, 2), "--"); // no tab index anywhere
}

// Shift+Tab visits the same stops in the opposite order, from nothing the last one first.
TEST(TabOrder, ShiftTabWalksTheSameStopsBackwards) {
    EXPECT_EQ(Walk({{0, 3}, {0, 1}, {0, 2}}, std::nullopt, 4, true), "0210");
    EXPECT_EQ(Walk({{0, 5}, {0, 7}, {0, 5}}, std::nullopt, 3, true), "101");
    EXPECT_EQ(Walk({{0, 2}, {1, 1}, {0, -1}, {0, 1}}, std::nullopt, 3, true), "030");
    EXPECT_EQ(Walk({{0, 2}, {0, 1}}, 0, 4, true), "01q0");
    EXPECT_EQ(Walk({{0, 2}, {0, 1}}, 5, 3, true), "010");
    EXPECT_EQ(Walk({{0, -1}, {0, -1}}, 0, 2, true), "--");
}

// Positions, sizes, check box and icon dimensions from the file at int's ends.
TEST(ButtonGeometry, SaturatesAtIntsEnds) {
    constexpr int kMax = std::numeric_limits<int>::max();
    constexpr int kMin = std::numeric_limits<int>::min();
    EXPECT_EQ(RectAt(kMax - 10, kMin + 10, 100, -100),
              (GridRect{kMax - 10, kMin + 10, kMax, kMin}));
    EXPECT_EQ(RectAt(kMin, kMax, kMin, kMax), (GridRect{kMin, kMax, kMin, kMax}));
    EXPECT_EQ(CheckBoxRect(20, kMin), (GridRect{0, 1073741834, kMin, -1073741814}));
    EXPECT_EQ(CheckBoxRect(20, kMax), (GridRect{0, -1073741813, kMax, 1073741834}));
    EXPECT_EQ(CheckBoxFrame({0, kMin, kMax, kMax})[2], (GridPoint{kMax, -2}));
    EXPECT_EQ(CheckMark({kMin, kMin, kMax, kMax})[1], (GridPoint{1431655765, kMax - 3}));
    EXPECT_EQ(CheckTextRect({kMin, 0, kMax, 20}, kMax), (GridRect{kMax, 0, kMax, 20}));
    EXPECT_EQ(CheckFocusRect({kMin, kMin, kMin, kMax}, kMax),
              (GridRect{kMin, kMin + 1, kMin, kMax - 1}));
    EXPECT_EQ(ButtonTextRect({0, 0, 100, 30}, kMax, kMax, true, kMax),
              (GridRect{kMax, kMax, 100, 30}));
    EXPECT_EQ(ButtonTextRect({0, 0, 100, 30}, kMin, 16, true, 0).left, kMin + 21);
    const auto lines = FrameLines({kMin, kMin, kMax, kMax}, false);
    EXPECT_EQ(lines[1].points[2], (GridPoint{kMax - 1, kMin}));
    EXPECT_EQ(FrameLines({kMax, kMax, kMin, kMin}, true)[0].points[0], (GridPoint{kMax, kMin}));
}

// One pass over the text gives what replacing each escape over the whole text in turn
// gives: a replacement never forms or breaks another escape.
TEST(TooltipEscapes, ExpandInOnePassAsInTurns) {
    const struct {
        const wchar_t* text;
        const wchar_t* expanded;
    } cases[] = {
        {L"\\\\nn", L"\\\nn"}, {L"\\n\\r\\t", L"\n\r\t"}, {L"\\", L"\\"},
        {L"ab\\", L"ab\\"},    {L"\\q\\\\v", L"\\q\\\v"}, {L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExpandTooltipEscapes(c.text), c.expanded) << c.text;
    }
    const std::wstring many(4 * 100000, L'\\');
    std::wstring escapes;
    for (int i = 0; i < 100000; ++i) {
        escapes += L"\\n";
    }
    EXPECT_EQ(ExpandTooltipEscapes(escapes), std::wstring(100000, L'\n'));
    EXPECT_EQ(ExpandTooltipEscapes(many), many);
}

} // namespace
