#include "design/EditModel.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

std::optional<std::size_t> TopmostAt(const std::vector<DesignRect>& topToBottom, DesignPoint p) {
    for (std::size_t i = 0; i < topToBottom.size(); ++i) {
        const DesignRect& r = topToBottom[i];
        if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) {
            return i;
        }
    }
    return std::nullopt;
}

void ControlDrag::Begin(std::vector<DesignControl> controls, DesignPoint start, long handle) {
    const DesignRect& first = controls.front().rect;
    const bool resize = start.x >= first.right - handle && start.y >= first.bottom - handle;
    kind_ = resize ? Kind::Resize : Kind::Move;
    if (resize) {
        controls.resize(1);
    }
    start_ = std::move(controls);
    from_ = start;
}

std::vector<DesignRect> ControlDrag::Wanted(DesignPoint p) const {
    const long dx = p.x - from_.x;
    const long dy = p.y - from_.y;
    std::vector<DesignRect> rects;
    for (const DesignControl& c : start_) {
        DesignRect r = c.rect;
        if (kind_ == Kind::Move) {
            r = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
        } else if (kind_ == Kind::Resize) {
            r.right = std::max(r.left + 1, r.right + dx);
            r.bottom = std::max(r.top + 1, r.bottom + dy);
        }
        rects.push_back(r);
    }
    return rects;
}

long SnapShift(const std::vector<long>& edges, const std::vector<long>& targets, long reach) {
    long best = reach + 1;
    for (const long edge : edges) {
        for (const long target : targets) {
            if (std::abs(target - edge) < std::abs(best)) {
                best = target - edge;
            }
        }
    }
    return std::abs(best) <= reach ? best : 0;
}

ByteEdit EditBetween(std::string_view from, std::string_view to) {
    const std::size_t shorter = std::min(from.size(), to.size());
    std::size_t prefix = 0;
    while (prefix < shorter && from[prefix] == to[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < shorter - prefix &&
           from[from.size() - 1 - suffix] == to[to.size() - 1 - suffix]) {
        ++suffix;
    }
    return {prefix, std::string(from.substr(prefix, from.size() - prefix - suffix)),
            std::string(to.substr(prefix, to.size() - prefix - suffix))};
}

bool ApplyEdit(std::string& bytes, const ByteEdit& edit, bool forward) {
    const std::string& old = forward ? edit.before : edit.after;
    const std::string& now = forward ? edit.after : edit.before;
    if (edit.offset > bytes.size() || bytes.compare(edit.offset, old.size(), old) != 0) {
        return false;
    }
    bytes.replace(edit.offset, old.size(), now);
    return true;
}

void UndoHistory::Push(DesignStep step) {
    undo_.push_back(std::move(step));
    redo_.clear();
}

const DesignStep* UndoHistory::Next(bool undo) const {
    const std::vector<DesignStep>& from = undo ? undo_ : redo_;
    return from.empty() ? nullptr : &from.back();
}

void UndoHistory::Take(bool undo) {
    std::vector<DesignStep>& from = undo ? undo_ : redo_;
    std::vector<DesignStep>& to = undo ? redo_ : undo_;
    to.push_back(std::move(from.back()));
    from.pop_back();
}

void UndoHistory::ForgetRedo() {
    if (!redo_.empty()) {
        redo_.pop_back();
    }
}

void UndoHistory::Clear() {
    undo_.clear();
    redo_.clear();
}
