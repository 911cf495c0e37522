// The design model's promise over any input sequence, with saves by another program between
// the steps: after every step the file, read by the menu's reader, gives the model's
// controls; each write changes only bytes inside the touched controls' elements (inside their
// page for controls added or removed, inside one control's element for a write no control
// shows, such as a colour); and undoing every step gives the bytes last loaded.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "config/AttributeEdit.h"
#include "design/ControlBytes.h"
#include "design/DesignModel.h"
#include "xml/TextDecoding.h"
#include "xml/TextOffsets.h"
#include "xml/xmlReader.h"

// The author's file: replaced only while it holds what the model read.
struct DesignFakeFile : DesignStore {
    std::string bytes;
    std::wstring Replace(const std::string& expected, const std::string& now) override {
        if (bytes != expected) {
            return L"Another program changed the file.";
        }
        bytes = now;
        return {};
    }
};

// Where a write to `touched` controls of `tree` may change bytes: [lo, hi) in the text, from
// the first one's "<" (its page's, for `structural` changes) to the next control's "<", or the
// next page's, or the root's end.
inline std::pair<std::size_t, std::size_t>
TouchedRange(const xmlTree& tree, const std::vector<ControlRef>& touched, bool structural) {
    const std::size_t end = std::min(tree.RootEndTag(), tree.Text().size());
    const xmlElement* pages = FindChild(&tree.Root(), L"Pages");
    std::size_t lo = end;
    std::size_t hi = 0;
    for (const ControlRef& ref : touched) {
        const xmlElement* control = ControlElement(tree, ref);
        if (ref.page < 0 || pages == nullptr) {
            lo = std::min(lo, control != nullptr ? control->GetOffset() : 0);
            hi = end;
            continue;
        }
        const auto p = static_cast<std::size_t>(ref.page);
        const xmlElement* page = pages->GetChild(p);
        const std::size_t pageEnd =
            p + 1 < pages->GetChildCount() ? pages->GetChild(p + 1)->GetOffset() : end;
        if (structural || control == nullptr) {
            lo = std::min(lo, page->GetOffset());
            hi = std::max(hi, pageEnd);
        } else {
            lo = std::min(lo, control->GetOffset());
            hi = std::max(hi, ref.index + 1 < page->GetChildCount()
                                  ? page->GetChild(ref.index + 1)->GetOffset()
                                  : pageEnd);
        }
    }
    return {lo, hi};
}

// The controls whose place, size, caption or presence differ between `a` and `b`.
inline std::vector<ControlRef> Touched(const std::vector<DesignControl>& a,
                                       const std::vector<DesignControl>& b) {
    std::vector<ControlRef> refs;
    const auto add = [&](const std::vector<DesignControl>& from,
                         const std::vector<DesignControl>& to) {
        for (const DesignControl& c : from) {
            const auto same = std::find_if(to.begin(), to.end(),
                                           [&](const DesignControl& d) { return d.ref == c.ref; });
            if (same == to.end() || !(*same == c)) {
                refs.push_back(c.ref);
            }
        }
    };
    add(a, b);
    add(b, a);
    return refs;
}

// What breaks the promise when the model on `file` takes the inputs `input` encodes, or empty
// text; `writes` counts the writes made. Bytes the menu cannot read promise nothing.
inline std::string DesignSequenceFault(std::string_view file, std::string_view input,
                                       std::size_t& writes) {
    DesignFakeFile disk;
    disk.bytes = std::string(file);
    DesignModel model;
    if (!model.Load(disk.bytes)) {
        return {};
    }
    model.SetArea(400, 300);
    std::string loaded = disk.bytes;
    std::vector<DesignControl> stable = model.Controls();
    std::size_t i = 0;
    const auto next = [&] {
        return i < input.size() ? static_cast<unsigned char>(input[i++]) : 0u;
    };
    const auto point = [&] {
        return DesignPoint{static_cast<long>(next()) * 2 - 20, static_cast<long>(next()) * 2 - 20};
    };
    const auto shown = [&] {
        std::vector<ControlRef> refs;
        for (const DesignControl& c : model.Controls()) {
            if (c.ref.page < 0 || c.ref.page == model.Page()) {
                refs.push_back(c.ref);
            }
        }
        return refs;
    };
    const std::wstring captions[] = {L"OK", L"Gr\u00fc\u00dfe", L"a \"b\"", L"x>y", L""};
    for (std::size_t step = 0; i < input.size(); ++step) {
        const std::string before = disk.bytes;
        const unsigned op = next() % 17;
        const unsigned arg = next();
        DesignOutcome out;
        switch (op) {
        case 0: {
            const std::vector<ControlRef> refs = shown();
            model.Press(refs.empty() ? std::nullopt : std::optional(refs[arg % refs.size()]),
                        point(), (arg & 0x80) != 0);
            break;
        }
        case 1:
            model.Press(std::nullopt, point(), false);
            break;
        case 2:
            model.DragTo(point(), (arg & 1) != 0);
            break;
        case 3:
            out = model.Release(point(), (arg & 1) != 0, disk);
            break;
        case 4:
            out = model.Nudge(static_cast<long>(arg % 21) - 10, static_cast<long>(next() % 21) - 10,
                              (arg & 0x80) != 0, disk);
            break;
        case 5:
            out = model.Align(static_cast<AlignEdge>(arg % 6), disk);
            break;
        case 6:
            out = model.AddButton(disk);
            break;
        case 7:
            out = model.Duplicate(disk);
            break;
        case 8:
            out = model.Delete(disk);
            break;
        case 9:
        case 10:
            out = model.Step(op == 9, disk);
            break;
        case 11:
            model.ShowPage(static_cast<int>(arg % 3));
            break;
        case 12:
            out = model.SetCaption(captions[arg % 5], disk);
            break;
        case 13:
        case 14: {
            // Another program sets an attribute of some element; noticed (13) or not yet (14).
            const auto tree = ParseConfigBytes(disk.bytes);
            const xmlElement* e = &tree->Root();
            for (unsigned depth = arg % 4; depth > 0 && e->GetChildCount() > 0; --depth) {
                e = e->GetChild(next() % e->GetChildCount());
            }
            const EditResult edit =
                EditAttribute(disk.bytes, *tree, *e, L"width", std::to_wstring(next()));
            if (edit.bytes) {
                disk.bytes = *edit.bytes;
            }
            if (op == 13 && model.Load(disk.bytes)) {
                loaded = disk.bytes;
            }
            break;
        }
        case 15: {
            // The properties window's write: an attribute the view draws, or one it does not.
            const struct {
                const wchar_t* part;
                const wchar_t* name;
                const wchar_t* value;
            } properties[] = {{L"ButtonLayout", L"bgcolor", L"0 128 255"},
                              {L"ButtonPosition", L"left", L"33"},
                              {L"ButtonLayout", L"caption", L"P&Q"},
                              {L"", L"id", L"k"},
                              {L"Font", L"fontsize", L"14"}};
            const auto& p = properties[arg % 5];
            out = model.SetProperty(p.part, p.name, p.value, disk);
            break;
        }
        default:
            model.CancelDrag();
            break;
        }
        const std::string where =
            " at step " + std::to_string(step) + " (op " + std::to_string(op) + ")";
        if (out.written && disk.bytes == before) {
            return "a write was reported but the file kept its bytes" + where;
        }
        if (model.Bytes() != disk.bytes) {
            if (out.written) {
                return "the model's bytes are not the file's after a write" + where;
            }
            continue; // an outside save the model has not read yet
        }
        std::vector<DesignControl> read;
        try {
            read = ReadDesignControls(*ParseConfigBytes(disk.bytes));
        } catch (const xmlError& e) {
            return std::string("the file cannot be read: ") + e.what() + where;
        }
        if (model.Dragging()) {
            continue; // the dragged controls follow the pointer, unwritten
        }
        if (read != model.Controls()) {
            return "the file reads as other controls than the model's" + where;
        }
        if (out.written) {
            ++writes;
            const auto old = ParseConfigBytes(before);
            // A write the controls do not show (a colour, say, or its undo) lies inside one
            // control's element.
            std::vector<std::vector<ControlRef>> allowed{Touched(stable, model.Controls())};
            if (allowed.front().empty()) {
                allowed.clear();
                for (const DesignControl& c : stable) {
                    allowed.push_back({c.ref});
                }
            }
            const ByteEdit edit = EditBetween(before, disk.bytes);
            const bool inside = std::any_of(allowed.begin(), allowed.end(), [&](const auto& refs) {
                const auto [lo, hi] =
                    TouchedRange(*old, refs, stable.size() != model.Controls().size());
                std::vector<std::size_t> bounds{lo, std::max(lo, hi)};
                ConfigTextByteOffsets(before, bounds);
                return edit.offset >= bounds[0] && edit.offset + edit.before.size() <= bounds[1];
            });
            if (!inside) {
                return "a write changed bytes outside the touched controls" + where;
            }
        }
        stable = model.Controls();
    }
    while (model.Step(true, disk).written) {
    }
    if (model.Bytes() == disk.bytes && disk.bytes != loaded) {
        return "undoing every step does not give the bytes last loaded";
    }
    return {};
}
