// The design view's edit model: which control a click picks, a drag and its cancel, and the
// undo history as byte edits. Platform-free: the window turns input into these calls.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A control's element in the file: `page` from 0 under "Pages", -1 for "BtnBeenden"; `index`
// its place among the page's controls.
struct ControlRef {
    int page = -1;
    std::size_t index = 0;
    bool operator==(const ControlRef&) const = default;
};

// A rectangle in the window's client area, right and bottom outside.
struct DesignRect {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;
    bool operator==(const DesignRect&) const = default;
};

struct DesignPoint {
    long x = 0;
    long y = 0;
};

// The control a click at `p` picks: the first of `topToBottom` (rectangles in the order they
// are seen, the one drawn on top first) that holds the point; none off every control.
std::optional<std::size_t> TopmostAt(const std::vector<DesignRect>& topToBottom, DesignPoint p);

// One control as the menu builds it from the file, in the file's pixels.
struct DesignControl {
    ControlRef ref;
    DesignRect rect;
    std::wstring caption;
    bool checkBox = false;
    std::wstring id; // a check box's
    bool operator==(const DesignControl&) const = default;
};

// One drag with the mouse, from button down to button up: a move of several controls, or a
// resize of one. Whatever else happens before the button goes up (a key, a page, an undo, a
// reload, a lost capture) ends it with a cancel, which puts the controls back.
class ControlDrag {
public:
    enum class Kind { None, Move, Resize };
    // Starts dragging `controls` from `start`: a resize of the first alone when `start` lies on
    // its bottom-right handle (its last `handle` pixels inside the corner), else a move of all.
    void Begin(std::vector<DesignControl> controls, DesignPoint start, long handle);
    bool Active() const { return kind_ != Kind::None; }
    Kind GetKind() const { return kind_; }
    // The controls as they stood when the drag began.
    const std::vector<DesignControl>& Started() const { return start_; }
    // The rectangles the pointer at `p` asks for, before snapping: at least 1 pixel each way.
    std::vector<DesignRect> Wanted(DesignPoint p) const;
    void End() { kind_ = Kind::None; }

private:
    Kind kind_ = Kind::None;
    std::vector<DesignControl> start_;
    DesignPoint from_;
};

// The shift that draws the nearest of `edges` onto the nearest of `targets` within `reach`;
// 0 when none is that near.
long SnapShift(const std::vector<long>& edges, const std::vector<long>& targets, long reach);

// One change of the file's bytes: at `offset`, `before` became `after`.
struct ByteEdit {
    std::size_t offset = 0;
    std::string before;
    std::string after;
};

// The edit from `from` to `to`: the stretch between their common start and common end.
ByteEdit EditBetween(std::string_view from, std::string_view to);

// `bytes` with the edit made (forward) or taken back; false, bytes untouched, when they do not
// hold what the edit replaces.
bool ApplyEdit(std::string& bytes, const ByteEdit& edit, bool forward);

// One finished change: the controls and the selection before and after it, the page it
// was made on, and the bytes; `rebuilt` when the window is built anew to show it either way.
struct DesignStep {
    std::vector<DesignControl> before;
    std::vector<DesignControl> after;
    std::vector<ControlRef> selectionBefore;
    std::vector<ControlRef> selectionAfter;
    int page = 0;
    ByteEdit edit;
    bool rebuilt = false;
};

// The session's undo and redo steps. A step keeps only the bytes it changed, so a long
// session on a large file costs no copies of it.
class UndoHistory {
public:
    // A new step: the redo steps no longer follow from it.
    void Push(DesignStep step);
    // The step an undo (or redo) would take back (or make again); none when there is none.
    const DesignStep* Next(bool undo) const;
    // Moves that step to the other list, once its bytes are written.
    void Take(bool undo);
    // Drops the step a redo would make again.
    void ForgetRedo();
    void Clear();

private:
    std::vector<DesignStep> undo_;
    std::vector<DesignStep> redo_;
};
