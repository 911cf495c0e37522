// What the design view shows: its status line on the screen, captions typed and written, and
// the element each finding of the checker belongs to.
#include <gtest/gtest.h>

#include "design/ViewRules.h"

namespace {

TEST(StatusLinePlace, StaysOnTheScreenWhereverTheWindowStands) {
    const DesignRect screen{0, 0, 1024, 738};
    const struct {
        DesignRect window;
        DesignRect status;
    } cases[] = {
        {{100, 100, 500, 400}, {100, 400, 500, 422}},   // under the window
        {{100, 500, 500, 730}, {100, 478, 500, 500}},   // no room below: above it
        {{100, -40, 500, 730}, {100, 708, 500, 730}},   // no room either way: its bottom edge
        {{100, 0, 500, 738}, {100, 716, 500, 738}},     // the whole height
        {{800, 100, 1200, 400}, {624, 400, 1024, 422}}, // moved back onto the screen
        {{-300, 900, 100, 1200}, {0, 716, 400, 738}},   // off the screen's corner
        {{-10, 100, 1100, 400}, {0, 400, 1024, 422}},   // wider than the screen
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StatusLinePlace(c.window, screen, 22), c.status)
            << c.window.left << "," << c.window.top;
    }
}

TEST(Captions, ATypedAmpersandIsShownAsTyped) {
    const struct {
        const wchar_t* written;
        const wchar_t* shown;
    } cases[] = {
        {L"Tom && Jerry", L"Tom & Jerry"},
        {L"&Install", L"Install"}, // a single "&" underlines, it is not shown
        {L"a&&&b", L"a&b"},
        {L"end&", L"end"},
        {L"plain", L"plain"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CaptionShown(c.written), c.shown) << c.written;
        EXPECT_EQ(CaptionShown(CaptionWritten(c.shown)), c.shown) << c.written;
    }
    EXPECT_EQ(CaptionWritten(L"A & B&"), L"A && B&&");
}

TEST(OwnersOf, EachFindingBelongsToTheElementItLiesIn) {
    const auto tree = ParseConfigBytes("<config>\n"                                   // 1
                                       "  <General width=\"400\"/>\n"                 // 2
                                       "  <BtnBeenden><ButtonLayout/></BtnBeenden>\n" // 3
                                       "  <Pages>\n"                                  // 4
                                       "    <Page>\n"                                 // 5
                                       "      <Button><ButtonLayout x=\"1\"/>\n"      // 6
                                       "      </Button>\n"                            // 7
                                       "      <Button/>\n"                            // 8
                                       "    </Page>\n"                                // 9
                                       "    <Page><Button/></Page>\n"                 // 10
                                       "  </Pages>\n"                                 // 11
                                       "</config>\n");
    using Kind = FindingOwner::Kind;
    const FindingOwner window{};
    const FindingOwner quit{Kind::Control, -1, {-1, 0}};
    const FindingOwner first{Kind::Control, 0, {0, 0}};
    const struct {
        TextPosition at;
        FindingOwner owner;
    } cases[] = {
        {{1, 1}, window},
        {{2, 14}, window},                      // an attribute of General
        {{3, 3}, quit},                         // the quit button's start
        {{3, 20}, quit},                        // inside its ButtonLayout
        {{5, 5}, {Kind::Page, 0, {}}},          // the page's own start tag
        {{6, 7}, first},                        // a control's start
        {{6, 30}, first},                       // an attribute of its child
        {{7, 7}, first},                        // its end tag
        {{8, 7}, {Kind::Control, 0, {0, 1}}},   // the page's second control
        {{9, 5}, {Kind::Control, 0, {0, 1}}},   // the page's end tag: after its last control
        {{10, 11}, {Kind::Control, 1, {1, 0}}}, // the second page's control
        {{11, 3}, {Kind::Control, 1, {1, 0}}},  // the end tags after it
        {{12, 1}, window},                      // the root's end tag
    };
    std::vector<TextPosition> at;
    for (const auto& c : cases) {
        at.push_back(c.at);
    }
    const std::vector<FindingOwner> owners = OwnersOf(*tree, at);
    ASSERT_EQ(owners.size(), at.size());
    for (std::size_t i = 0; i < at.size(); ++i) {
        EXPECT_EQ(owners[i], cases[i].owner) << at[i].line << ":" << at[i].column;
    }
    // Shown with the first page: the window's, the quit button's and the first page's.
    EXPECT_TRUE(ShownWithPage(window, 0));
    EXPECT_TRUE(ShownWithPage(quit, 1));
    EXPECT_TRUE(ShownWithPage(first, 0));
    EXPECT_FALSE(ShownWithPage(first, 1));
    EXPECT_FALSE(ShownWithPage({Kind::Page, 1, {}}, 0));
}

} // namespace
