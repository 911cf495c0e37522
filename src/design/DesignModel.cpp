#include "design/DesignModel.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "design/ControlBytes.h"
#include "design/Properties.h"
#include "design/ViewRules.h"
#include "xml/xmlReader.h"

namespace {

// The controls in the file's order: the quit button first, then page by page.
void SortControls(std::vector<DesignControl>& controls) {
    std::sort(controls.begin(), controls.end(), [](const DesignControl& a, const DesignControl& b) {
        return a.ref.page != b.ref.page ? a.ref.page < b.ref.page : a.ref.index < b.ref.index;
    });
}

bool Later(const ControlRef& a, const ControlRef& b) {
    return a.page != b.page ? a.page > b.page : a.index > b.index;
}

// Moves the refs on `page` from `from` on by `by` places.
void ShiftRefs(std::vector<DesignControl>& controls, int page, std::size_t from, int by) {
    for (DesignControl& c : controls) {
        if (c.ref.page == page && c.ref.index >= from) {
            c.ref.index = static_cast<std::size_t>(static_cast<long>(c.ref.index) + by);
        }
    }
}

void ShiftRefs(std::vector<ControlRef>& refs, int page, std::size_t from, int by) {
    for (ControlRef& r : refs) {
        if (r.page == page && r.index >= from) {
            r.index = static_cast<std::size_t>(static_cast<long>(r.index) + by);
        }
    }
}

// `id` with the first number from 2 that no control's id ends in yet.
std::wstring FreshId(const std::wstring& id, const std::vector<DesignControl>& controls) {
    for (int n = 2;; ++n) {
        const std::wstring candidate = id + std::to_wstring(n);
        if (std::none_of(controls.begin(), controls.end(),
                         [&](const DesignControl& c) { return c.id == candidate; })) {
            return candidate;
        }
    }
}

DesignOutcome NotWritten(const std::wstring& why) {
    return {false, false, L"Not written. " + why};
}

} // namespace

bool DesignModel::Load(std::string bytes) {
    std::vector<DesignControl> controls;
    try {
        controls = ReadDesignControls(*ParseConfigBytes(bytes));
    } catch (const xmlError&) {
        return false;
    }
    CancelDrag();
    bytes_ = std::move(bytes);
    controls_ = std::move(controls);
    std::erase_if(selection_, [&](const ControlRef& r) { return Find(r) == nullptr; });
    history_.Clear();
    blocked_.clear();
    return true;
}

const DesignControl* DesignModel::Find(const ControlRef& ref) const {
    const auto it = std::find_if(controls_.begin(), controls_.end(),
                                 [&](const DesignControl& c) { return c.ref == ref; });
    return it == controls_.end() ? nullptr : &*it;
}

DesignControl* DesignModel::Mutable(const ControlRef& ref) {
    return const_cast<DesignControl*>(Find(ref));
}

void DesignModel::ShowPage(int page) {
    CancelDrag();
    std::erase_if(selection_, [](const ControlRef& r) { return r.page >= 0; });
    page_ = page;
}

bool DesignModel::IsSelected(const ControlRef& ref) const {
    return std::find(selection_.begin(), selection_.end(), ref) != selection_.end();
}

void DesignModel::ClearSelection() {
    CancelDrag();
    selection_.clear();
}

void DesignModel::Press(std::optional<ControlRef> hit, DesignPoint p, bool shift) {
    CancelDrag(); // a button down without the last one's up
    lastPress_ = p;
    if (shift) {
        if (hit && IsSelected(*hit)) {
            std::erase(selection_, *hit);
        } else if (hit) {
            selection_.push_back(*hit);
        }
        return;
    }
    if (!hit) {
        selection_.clear();
        return;
    }
    if (!IsSelected(*hit)) {
        selection_ = {*hit};
    }
    // The pressed control first: its handle decides a resize.
    std::vector<DesignControl> dragged{*Find(*hit)};
    for (const ControlRef& r : selection_) {
        if (!(r == *hit)) {
            dragged.push_back(*Find(r));
        }
    }
    drag_.Begin(std::move(dragged), p, kHandle);
}

void DesignModel::DragTo(DesignPoint p, bool snap) {
    if (!drag_.Active()) {
        return;
    }
    std::vector<DesignRect> rects = drag_.Wanted(p);
    const std::vector<DesignControl>& started = drag_.Started();
    if (snap) {
        std::vector<long> xs{0, area_.x};
        std::vector<long> ys{0, area_.y};
        for (const DesignControl& c : controls_) {
            const bool shown = c.ref.page < 0 || c.ref.page == page_;
            const bool dragged =
                std::any_of(started.begin(), started.end(),
                            [&](const DesignControl& d) { return d.ref == c.ref; });
            if (shown && !dragged) {
                xs.insert(xs.end(), {c.rect.left, c.rect.right});
                ys.insert(ys.end(), {c.rect.top, c.rect.bottom});
            }
        }
        std::vector<long> left;
        std::vector<long> top;
        const bool moving = drag_.GetKind() == ControlDrag::Kind::Move;
        for (const DesignRect& r : rects) {
            if (moving) {
                left.insert(left.end(), {r.left, r.right});
                top.insert(top.end(), {r.top, r.bottom});
            } else {
                left.push_back(r.right);
                top.push_back(r.bottom);
            }
        }
        const long dx = SnapShift(left, xs, kSnap);
        const long dy = SnapShift(top, ys, kSnap);
        for (DesignRect& r : rects) {
            r.left += moving ? dx : 0;
            r.top += moving ? dy : 0;
            r.right += dx;
            r.bottom += dy;
        }
    }
    for (std::size_t i = 0; i < rects.size(); ++i) {
        Mutable(started[i].ref)->rect = rects[i];
    }
}

DesignOutcome DesignModel::Release(DesignPoint p, bool snap, DesignStore& store) {
    if (!drag_.Active()) {
        return {};
    }
    DragTo(p, snap);
    std::vector<DesignControl> after = controls_;
    CancelDrag();
    return CommitRects(std::move(after), store);
}

bool DesignModel::CancelDrag() {
    if (!drag_.Active()) {
        return false;
    }
    for (const DesignControl& c : drag_.Started()) {
        Mutable(c.ref)->rect = c.rect;
    }
    drag_.End();
    return true;
}

DesignOutcome DesignModel::Nudge(long dx, long dy, bool resize, DesignStore& store) {
    CancelDrag();
    std::vector<DesignControl> after = controls_;
    for (DesignControl& c : after) {
        if (!IsSelected(c.ref)) {
            continue;
        }
        DesignRect& r = c.rect;
        if (resize) {
            r.right = std::max(r.left + 1, r.right + dx);
            r.bottom = std::max(r.top + 1, r.bottom + dy);
        } else {
            r = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
        }
    }
    return CommitRects(std::move(after), store);
}

DesignOutcome DesignModel::Align(AlignEdge edge, DesignStore& store) {
    CancelDrag();
    if (selection_.size() < 2) {
        return {false, false, L"Select the control to align with, then Shift+click the others"};
    }
    const DesignRect first = Find(selection_.front())->rect;
    std::vector<DesignControl> after = controls_;
    for (DesignControl& c : after) {
        if (!IsSelected(c.ref)) {
            continue;
        }
        DesignRect& r = c.rect;
        const long width = r.right - r.left;
        const long height = r.bottom - r.top;
        switch (edge) {
        case AlignEdge::Left:
            r = {first.left, r.top, first.left + width, r.bottom};
            break;
        case AlignEdge::Right:
            r = {first.right - width, r.top, first.right, r.bottom};
            break;
        case AlignEdge::Top:
            r = {r.left, first.top, r.right, first.top + height};
            break;
        case AlignEdge::Bottom:
            r = {r.left, first.bottom - height, r.right, first.bottom};
            break;
        case AlignEdge::Width:
            r.right = r.left + (first.right - first.left);
            break;
        case AlignEdge::Height:
            r.bottom = r.top + (first.bottom - first.top);
            break;
        }
    }
    return CommitRects(std::move(after), store);
}

DesignOutcome DesignModel::CommitRects(std::vector<DesignControl> after, DesignStore& store) {
    std::string bytes = bytes_;
    std::wstring written;
    for (std::size_t i = 0; i < after.size(); ++i) {
        const DesignRect& was = controls_[i].rect;
        const DesignRect& now = after[i].rect;
        const ControlRef& ref = after[i].ref;
        struct Value {
            const wchar_t* part;
            const wchar_t* name;
            long before;
            long after;
        };
        const Value values[] = {
            {L"ButtonPosition", L"left", was.left, now.left},
            {L"ButtonPosition", L"top", was.top, now.top},
            {L"ButtonLayout", L"width", was.right - was.left, now.right - now.left},
            {L"ButtonLayout", L"height", was.bottom - was.top, now.bottom - now.top}};
        bool placed = false;
        for (const Value& v : values) {
            if (v.before == v.after || placed) {
                continue;
            }
            ControlEdit edit;
            if (v.part == values[0].part && !ControlPart(*ParseConfigBytes(bytes), ref, v.part)) {
                // A control placed by default gets its own position, first among its parts.
                edit = AddControlPosition(bytes, ref, now.left, now.top);
                placed = true;
            } else {
                edit = SetControlAttribute(bytes, ref, v.part, v.name, std::to_wstring(v.after));
            }
            if (!edit.bytes) {
                return NotWritten(edit.refusal);
            }
            bytes = std::move(*edit.bytes);
            written += std::wstring(written.empty() ? L"" : L", ") + v.name + L"=\"" +
                       std::to_wstring(v.after) + L"\"";
        }
    }
    if (written.empty()) {
        return {};
    }
    std::vector<ControlRef> selection = selection_;
    return Commit(std::move(bytes), std::move(after), std::move(selection), false, written, store);
}

DesignOutcome DesignModel::SetCaption(const std::wstring& typed, DesignStore& store) {
    CancelDrag();
    if (selection_.empty() || CaptionShown(Find(selection_.front())->caption) == typed) {
        return {}; // untouched: the caption keeps its own "&" marks
    }
    if (typed.empty()) {
        return NotWritten(L"A control needs a caption.");
    }
    const std::wstring caption = CaptionWritten(typed);
    const ControlRef ref = selection_.front();
    ControlEdit edit = SetControlAttribute(bytes_, ref, L"ButtonLayout", L"caption", caption);
    if (!edit.bytes) {
        return NotWritten(edit.refusal);
    }
    std::vector<DesignControl> after = controls_;
    for (DesignControl& c : after) {
        if (c.ref == ref) {
            c.caption = caption;
        }
    }
    std::vector<ControlRef> selection = selection_;
    return Commit(std::move(*edit.bytes), std::move(after), std::move(selection), false,
                  L"caption=\"" + caption + L"\"", store);
}

DesignOutcome DesignModel::SetProperty(std::wstring_view part, std::wstring_view name,
                                       const std::wstring& value, DesignStore& store) {
    CancelDrag();
    const bool menu = part == kMenuPart; // the menu's own element, whatever is selected
    if (!menu && selection_.empty()) {
        return {};
    }
    const std::optional<ControlRef> ref =
        menu ? std::nullopt : std::optional<ControlRef>(selection_.front());
    ControlEdit edit = menu ? SetMenuAttribute(bytes_, name, value)
                            : SetControlAttribute(bytes_, *ref, part, name, value);
    if (!edit.bytes) {
        return NotWritten(edit.refusal);
    }
    if (*edit.bytes == bytes_) {
        return {}; // the value it holds already
    }
    // What the attribute makes of the control is the menu's reading of it; every other control
    // must read as before.
    std::vector<DesignControl> after = controls_;
    try {
        for (const DesignControl& c : ReadDesignControls(*ParseConfigBytes(*edit.bytes))) {
            if (c.ref == ref) {
                std::replace_if(
                    after.begin(), after.end(),
                    [&](const DesignControl& d) { return d.ref == ref; }, c);
            }
        }
    } catch (const xmlError&) {
        return NotWritten(L"The file would read differently beyond this change.");
    }
    std::vector<ControlRef> selection = selection_;
    return Commit(std::move(*edit.bytes), std::move(after), std::move(selection), true,
                  std::wstring(name) + L"=\"" + value + L"\"", store);
}

DesignOutcome DesignModel::AddButton(DesignStore& store) {
    CancelDrag();
    DesignRect r;
    try {
        r = NewButtonSize(*ParseConfigBytes(bytes_));
    } catch (const xmlError&) {
        return NotWritten(L"The file cannot be read as it is now.");
    }
    r = {lastPress_.x, lastPress_.y, lastPress_.x + r.right, lastPress_.y + r.bottom};
    ControlEdit edit = AddPushButton(bytes_, page_, r);
    if (!edit.bytes) {
        return NotWritten(edit.refusal);
    }
    const auto onPage = std::count_if(controls_.begin(), controls_.end(),
                                      [&](const DesignControl& c) { return c.ref.page == page_; });
    const ControlRef ref{page_, static_cast<std::size_t>(onPage)};
    std::vector<DesignControl> after = controls_;
    after.push_back({ref, r, L"Button", false, L""});
    SortControls(after);
    return Commit(std::move(*edit.bytes), std::move(after), {ref}, true, L"a new button", store);
}

std::vector<ControlRef> DesignModel::PageSelection() const {
    std::vector<ControlRef> refs;
    std::copy_if(selection_.begin(), selection_.end(), std::back_inserter(refs),
                 [](const ControlRef& r) { return r.page >= 0; });
    std::sort(refs.begin(), refs.end(), Later);
    return refs;
}

DesignOutcome DesignModel::Duplicate(DesignStore& store) {
    CancelDrag();
    const std::vector<ControlRef> refs = PageSelection();
    if (refs.empty()) {
        return {false, false, L"Select a control on the page (the quit button is one of a kind)"};
    }
    std::string bytes = bytes_;
    std::vector<DesignControl> after = controls_;
    std::vector<ControlRef> copies;
    for (const ControlRef& ref : refs) {
        ControlEdit edit = CopyControl(bytes, ref);
        DesignControl copy = *Find(ref);
        copy.ref.index += 1;
        const DesignRect& r = copy.rect;
        copy.rect = {r.left + 10, r.top + 10, r.right + 10, r.bottom + 10};
        const bool ownPosition =
            edit.bytes && ControlPart(*ParseConfigBytes(*edit.bytes), copy.ref, L"ButtonPosition");
        const auto set = [&](const wchar_t* part, const wchar_t* name, const std::wstring& value) {
            if (edit.bytes) {
                edit = SetControlAttribute(*edit.bytes, copy.ref, part, name, value);
            }
        };
        if (ownPosition) {
            set(L"ButtonPosition", L"left", std::to_wstring(copy.rect.left));
            set(L"ButtonPosition", L"top", std::to_wstring(copy.rect.top));
        } else if (edit.bytes) {
            edit = AddControlPosition(*edit.bytes, copy.ref, copy.rect.left, copy.rect.top);
        }
        if (copy.checkBox && !copy.id.empty()) {
            copy.id = FreshId(copy.id, after);
            set(L"", L"id", copy.id);
        }
        if (!edit.bytes) {
            return NotWritten(edit.refusal);
        }
        bytes = std::move(*edit.bytes);
        ShiftRefs(after, ref.page, copy.ref.index, 1);
        ShiftRefs(copies, ref.page, copy.ref.index, 1);
        after.push_back(copy);
        copies.push_back(copy.ref);
    }
    SortControls(after);
    std::reverse(copies.begin(), copies.end());
    return Commit(std::move(bytes), std::move(after), std::move(copies), true,
                  refs.size() == 1 ? L"a copy" : L"copies", store);
}

DesignOutcome DesignModel::Delete(DesignStore& store) {
    CancelDrag();
    const std::vector<ControlRef> refs = PageSelection();
    if (refs.empty()) {
        return {false, false, L"Select a control on the page (the quit button stays)"};
    }
    std::string bytes = bytes_;
    std::vector<DesignControl> after = controls_;
    for (const ControlRef& ref : refs) {
        ControlEdit edit = RemoveControl(bytes, ref);
        if (!edit.bytes) {
            return NotWritten(edit.refusal);
        }
        bytes = std::move(*edit.bytes);
        std::erase_if(after, [&](const DesignControl& c) { return c.ref == ref; });
        ShiftRefs(after, ref.page, ref.index + 1, -1);
    }
    return Commit(std::move(bytes), std::move(after), {}, true,
                  refs.size() == 1 ? L"a control deleted" : L"controls deleted", store);
}

DesignOutcome DesignModel::Commit(std::string bytes, std::vector<DesignControl> after,
                                  std::vector<ControlRef> selectionAfter, bool rebuilt,
                                  const std::wstring& what, DesignStore& store) {
    if (!blocked_.empty()) {
        return NotWritten(blocked_);
    }
    // The new bytes must build what the view will show.
    try {
        if (ReadDesignControls(*ParseConfigBytes(bytes)) != after) {
            return NotWritten(L"The file would read differently beyond this change.");
        }
    } catch (const xmlError&) {
        return NotWritten(L"The file would read differently beyond this change.");
    }
    if (const std::wstring error = store.Replace(bytes_, bytes); !error.empty()) {
        return NotWritten(error);
    }
    DesignStep step{controls_, after, selection_, selectionAfter, page_, EditBetween(bytes_, bytes),
                    rebuilt};
    history_.Push(std::move(step));
    bytes_ = std::move(bytes);
    controls_ = std::move(after);
    selection_ = std::move(selectionAfter);
    return {true, rebuilt, L"Written: " + what, true};
}

DesignOutcome DesignModel::TakeBack(DesignStore& store) {
    const DesignOutcome out = Step(true, store);
    if (out.written) {
        history_.ForgetRedo();
    }
    return out;
}

DesignOutcome DesignModel::Step(bool undo, DesignStore& store) {
    CancelDrag();
    const DesignStep* next = history_.Next(undo);
    if (next == nullptr) {
        return {false, false, undo ? L"Nothing to undo" : L"Nothing to redo"};
    }
    if (!blocked_.empty()) {
        return NotWritten(blocked_);
    }
    std::string bytes = bytes_;
    if (!ApplyEdit(bytes, next->edit, !undo)) {
        return NotWritten(L"The file no longer holds what the step wrote.");
    }
    if (const std::wstring error = store.Replace(bytes_, bytes); !error.empty()) {
        return NotWritten(error);
    }
    const bool rebuilt = next->rebuilt;
    bytes_ = std::move(bytes);
    controls_ = undo ? next->before : next->after;
    selection_ = undo ? next->selectionBefore : next->selectionAfter;
    page_ = next->page;
    history_.Take(undo);
    return {true, rebuilt, std::wstring(undo ? L"Undone" : L"Redone") + L"; the file is written"};
}

std::wstring DesignModel::Describe() const {
    if (selection_.empty()) {
        return {};
    }
    const DesignControl& c = *Find(selection_.front());
    const DesignRect& r = c.rect;
    std::wstring text = L"\"" + c.caption + L"\" left " + std::to_wstring(r.left) + L", top " +
                        std::to_wstring(r.top) + L", width " + std::to_wstring(r.right - r.left) +
                        L", height " + std::to_wstring(r.bottom - r.top);
    if (selection_.size() > 1) {
        text += L"; " + std::to_wstring(selection_.size()) + L" controls selected";
    }
    return text;
}
