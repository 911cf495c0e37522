// The design view's edit model: the pick where controls overlap, a drag and its cancel, and
// undo steps that hold only the bytes they changed.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "design/EditModel.h"

namespace {

TEST(TopmostAt, PicksTheFirstInStackingOrderThatHoldsThePoint) {
    const std::vector<DesignRect> stacked = {{10, 10, 50, 30}, {0, 0, 100, 100}, {40, 20, 60, 40}};
    const struct {
        DesignPoint p;
        std::optional<std::size_t> picked;
    } cases[] = {
        {{45, 25}, 0},             // all three overlap: the top one
        {{55, 35}, 1},             // the second lies above the third
        {{10, 10}, 0},             // left and top edges belong to it
        {{50, 30}, 1},             // right and bottom edges do not
        {{100, 50}, std::nullopt}, // off every control
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TopmostAt(stacked, c.p), c.picked) << c.p.x << "," << c.p.y;
    }
}

TEST(ControlDrag, MovesAllOrResizesThePressedOneAndEndsWhereItStarted) {
    const DesignRect start{20, 20, 120, 50};
    const DesignRect other{200, 20, 250, 40};
    const struct {
        DesignPoint from;
        DesignPoint to;
        ControlDrag::Kind kind;
        std::vector<DesignRect> wanted;
    } cases[] = {
        {{30, 30}, {45, 20}, ControlDrag::Kind::Move, {{35, 10, 135, 40}, {215, 10, 265, 30}}},
        {{114, 44}, {124, 54}, ControlDrag::Kind::Resize, {{20, 20, 130, 60}}},
        {{119, 49}, {0, 0}, ControlDrag::Kind::Resize, {{20, 20, 21, 21}}}, // at least 1 pixel
        {{113, 49}, {113, 49}, ControlDrag::Kind::Move, {start, other}},    // left of the handle
    };
    for (const auto& c : cases) {
        ControlDrag drag;
        EXPECT_FALSE(drag.Active());
        drag.Begin({{{0, 1}, start, L"", false, L""}, {{0, 2}, other, L"", false, L""}}, c.from, 6);
        EXPECT_TRUE(drag.Active());
        EXPECT_EQ(drag.GetKind(), c.kind);
        EXPECT_EQ(drag.Wanted(c.to), c.wanted);
        EXPECT_EQ(drag.Started().front().rect, start); // a cancel puts it back there
        drag.End();
        EXPECT_FALSE(drag.Active());
    }
}

// Any two byte strings: the edit between them turns one into the other and back, and holds
// no more than the stretch that differs.
TEST(ByteEdit, TurnsEachIntoTheOtherAndBack) {
    std::mt19937 random(31);
    const auto bytes = [&] {
        std::string s(random() % 9, 'a');
        for (char& c : s) {
            c = "ab\r\n\xE9"[random() % 5];
        }
        return s;
    };
    for (int round = 0; round < 2000; ++round) {
        const std::string from = bytes();
        const std::string to = bytes();
        const ByteEdit edit = EditBetween(from, to);
        EXPECT_LE(edit.before.size(), from.size());
        EXPECT_EQ(edit.before.size() + to.size(), edit.after.size() + from.size());
        std::string now = from;
        ASSERT_TRUE(ApplyEdit(now, edit, true));
        EXPECT_EQ(now, to);
        ASSERT_TRUE(ApplyEdit(now, edit, false));
        EXPECT_EQ(now, from);
    }
    std::string other = "xyz";
    EXPECT_FALSE(ApplyEdit(other, EditBetween("abc", "abd"), true)); // not its bytes: untouched
    EXPECT_EQ(other, "xyz");
}

// Six nudges on a large file: the history holds a few bytes per step, and undoing them all
// gives the original bytes.
TEST(UndoHistory, HoldsTheEditsNotTheFile) {
    const std::string original =
        "<config><B><ButtonPosition left=\"20\" top=\"20\"/>" + std::string(4 << 20, ' ') + "</B>";
    std::string file = original;
    UndoHistory history;
    for (int left = 21; left <= 26; ++left) {
        std::string next = file;
        next.replace(next.find("left=\"") + 6, 2, std::to_string(left));
        history.Push({{}, {}, {}, {}, 0, EditBetween(file, next)});
        file = next;
        EXPECT_LE(history.Next(true)->edit.before.size() + history.Next(true)->edit.after.size(),
                  2u);
    }
    EXPECT_EQ(history.Next(false), nullptr);
    while (const DesignStep* step = history.Next(true)) {
        ASSERT_TRUE(ApplyEdit(file, step->edit, false));
        history.Take(true);
    }
    EXPECT_EQ(file, original);
    ASSERT_NE(history.Next(false), nullptr);
    ASSERT_TRUE(ApplyEdit(file, history.Next(false)->edit, true));
    history.Take(false);
    EXPECT_NE(file.find("left=\"21\""), std::string::npos);
    history.Push({{}, {}, {}, {}, 0, EditBetween(file, file)}); // a new step: no redo
    EXPECT_EQ(history.Next(false), nullptr);
}

} // namespace
