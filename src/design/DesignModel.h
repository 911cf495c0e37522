// The design view's rules, apart from the window: the controls as the file gives them, the
// selection, drags with snapping, moves, alignment, adding, copying and deleting controls,
// captions, property writes and undo, each change one write of the file's bytes and one undo step.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "design/EditModel.h"

// Where the bytes go: the author's file.
class DesignStore {
public:
    // Replaces the file's bytes `expected` by `bytes`; empty on success, else the reason the
    // file keeps its bytes.
    virtual std::wstring Replace(const std::string& expected, const std::string& bytes) = 0;

protected:
    ~DesignStore() = default;
};

// What an action did, for the window to show.
struct DesignOutcome {
    bool written = false;
    bool rebuilt = false; // controls came or went: the window is built anew from the bytes
    std::wstring status;  // empty: the status line stays
    bool newStep = false; // bytes no undo or redo has shown before
};

// What Ctrl+Alt with an arrow, W or H gives the selection from its first control.
enum class AlignEdge { Left, Right, Top, Bottom, Width, Height };

class DesignModel {
public:
    static constexpr long kHandle = 6; // the resize handle: the last pixels inside the corner
    static constexpr long kSnap = 4;   // edges this near snap together while dragging

    // Takes `bytes` as the file's; false, and nothing changes, when the menu cannot read them.
    // The undo steps end: they no longer lead back to these bytes.
    bool Load(std::string bytes);
    // Refuses every write with `reason` until the next Load.
    void Block(std::wstring reason) { blocked_ = std::move(reason); }
    const std::string& Bytes() const { return bytes_; }
    const std::vector<DesignControl>& Controls() const { return controls_; }
    const DesignControl* Find(const ControlRef& ref) const;

    // The page shown; showing another ends a drag and keeps only the quit button selected.
    int Page() const { return page_; }
    void ShowPage(int page);
    // The window's client area, whose edges the controls snap to.
    void SetArea(long width, long height) { area_ = {width, height}; }

    // The selected controls; the first is the one the others are aligned with.
    const std::vector<ControlRef>& Selection() const { return selection_; }
    bool IsSelected(const ControlRef& ref) const;
    void ClearSelection();
    // The button went down at `p` on `hit`. With Shift it toggles `hit` in the selection.
    // Without, `hit` is selected (with the others when it is one of them), and a drag of the
    // selection begins: a resize of `hit` alone on its handle.
    void Press(std::optional<ControlRef> hit, DesignPoint p, bool shift);
    bool Dragging() const { return drag_.Active(); }
    // The pointer moved to `p` during a drag: the controls follow, snapped unless `snap` is off.
    void DragTo(DesignPoint p, bool snap);
    // The button went up at `p`: the drag's change is written.
    DesignOutcome Release(DesignPoint p, bool snap, DesignStore& store);
    // Ends a drag that did not end with the button: the controls go back. False without one.
    bool CancelDrag();

    // Moves the selection by dx, dy, or with `resize` changes its sizes so.
    DesignOutcome Nudge(long dx, long dy, bool resize, DesignStore& store);
    DesignOutcome Align(AlignEdge edge, DesignStore& store);
    // The first selected control's caption as typed over the one shown (CaptionShown): an
    // "&" is written doubled, so the menu shows what was typed.
    DesignOutcome SetCaption(const std::wstring& typed, DesignStore& store);
    // Attribute `name` of the first selected control's `part` (empty: its own element; kMenuPart:
    // the menu's "General" element, whatever is selected) set to `value` as written, in place.
    // The window is built anew to show it, and at its undo.
    DesignOutcome SetProperty(std::wstring_view part, std::wstring_view name,
                              const std::wstring& value, DesignStore& store);
    // A push button on the page, at the last point pressed.
    DesignOutcome AddButton(DesignStore& store);
    // Each selected control again, 10 pixels right and down; a check box with a fresh id.
    DesignOutcome Duplicate(DesignStore& store);
    DesignOutcome Delete(DesignStore& store);
    DesignOutcome Step(bool undo, DesignStore& store);
    // Undoes the last step for good, with no redo of it: the menu stops on its bytes.
    DesignOutcome TakeBack(DesignStore& store);
    // The status line for the selection.
    std::wstring Describe() const;

private:
    DesignControl* Mutable(const ControlRef& ref);
    // Writes `bytes`, which must read as `after`, as one step; on refusal everything stays.
    DesignOutcome Commit(std::string bytes, std::vector<DesignControl> after,
                         std::vector<ControlRef> selectionAfter, bool rebuilt,
                         const std::wstring& what, DesignStore& store);
    // Writes the controls' new places and sizes in `after`.
    DesignOutcome CommitRects(std::vector<DesignControl> after, DesignStore& store);
    // The selection without the quit button, last in the file first; none for the refusal.
    std::vector<ControlRef> PageSelection() const;

    std::string bytes_;
    std::vector<DesignControl> controls_;
    std::vector<ControlRef> selection_;
    int page_ = 0;
    DesignPoint area_{0, 0};
    DesignPoint lastPress_{10, 10};
    ControlDrag drag_;
    UndoHistory history_;
    std::wstring blocked_;
};
