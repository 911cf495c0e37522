#include "config/CheckState.h"

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

namespace {

constexpr std::size_t npos = std::string::npos;

// One value to replace keeps its attribute in the tree read from the file and its bytes
// between the double quotes.
struct Edit {
    const xmlElement* element;
    std::size_t attribute;
    std::size_t begin;
    std::size_t end;
    bool checked;
};

// The rewrite is worked out on the file's text before the result is read back.
struct Plan {
    std::unique_ptr<xmlTree> tree; // as the menu reads the file now
    std::string bytes;             // the new file
    std::vector<Edit> edits;       // in the order the states were given
};

// Says whether attribute i of `element` is a "currentval" that can be written in
// place: its name written exactly so in the element's own start tag, followed
// by white space, "=", white space and the value's opening double quote, and
// no later name reaching back into its value.
bool IsWritable(const xmlElement& element, std::size_t i, std::wstring_view text) {
    const xmlAttributePlace& place = element.GetAttributePlace(i);
    if (place.name == npos || text.compare(place.name, 10, L"currentval") != 0) {
        return false;
    }
    std::size_t at = place.name + 10;
    while (at < place.openQuote && IsWhiteSpace(text[at])) {
        ++at;
    }
    if (at == place.openQuote || text[at] != L'=') {
        return false;
    }
    ++at;
    while (at < place.openQuote && IsWhiteSpace(text[at])) {
        ++at;
    }
    if (at != place.openQuote) {
        return false;
    }
    // A later name reaches back to the last space: without one after the value, that name
    // holds the value, and writing it would rename an attribute.
    for (std::size_t later = i + 1; later < element.GetAttributeCount(); ++later) {
        if (element.GetAttributePlace(later).name <= place.closeQuote) {
            return false;
        }
    }
    return true;
}

// Returns the first attribute named "currentval" at index `from` or later (the one the
// reader reports), or npos.
std::size_t FirstCurrentVal(const xmlElement& element, std::size_t from) {
    for (std::size_t i = from; i < element.GetAttributeCount(); ++i) {
        if (element.GetAttributeName(i) == L"currentval") {
            return i;
        }
    }
    return npos;
}

struct Target {
    const xmlElement* element;
    std::size_t attribute;
};

// This finds where each id's state goes. The check box is the first element, in document
// order, whose "id" reads as that id and that holds a writable "currentval":
// after the id in its own start tag, or else the first one in its children
// (its "ButtonLayout"). A box without an id writes into the file's only
// "currentval", when there is exactly one.
class Targets {
public:
    Targets(const xmlElement& root, std::wstring_view text) {
        std::vector<const xmlElement*> order; // document order
        for (std::vector<const xmlElement*> stack{&root}; !stack.empty();) {
            const xmlElement* element = stack.back();
            stack.pop_back();
            order.push_back(element);
            for (std::size_t c = element->GetChildCount(); c-- > 0;) {
                stack.push_back(element->GetChild(c));
            }
        }
        // In document order an element's subtree follows it: its first child stands right
        // after it, and each further child after the subtree of the one before.
        std::vector<std::size_t> subtree(order.size(), 1);
        for (std::size_t i = order.size(); i-- > 0;) {
            for (std::size_t c = i + 1, n = 0; n < order[i]->GetChildCount();
                 c += subtree[c], ++n) {
                subtree[i] += subtree[c];
            }
        }
        // Children come after their parent in document order: walking backwards, each
        // element finds its children's first writable "currentval" known.
        std::vector<std::optional<Target>> firstBelow(order.size());
        const auto inChildren = [&](std::size_t i) {
            std::optional<Target> found;
            for (std::size_t c = i + 1, n = 0; n < order[i]->GetChildCount() && !found;
                 c += subtree[c], ++n) {
                found = firstBelow[c];
            }
            return found;
        };
        std::size_t currentVals = 0;
        for (std::size_t i = order.size(); i-- > 0;) {
            const xmlElement& element = *order[i];
            for (std::size_t a = 0; a < element.GetAttributeCount(); ++a) {
                if (element.GetAttributeName(a) == L"currentval") {
                    ++currentVals;
                    only_ = {&element, IsWritable(element, a, text) ? a : npos};
                }
            }
            const std::size_t own = FirstCurrentVal(element, 0);
            firstBelow[i] = own != npos && IsWritable(element, own, text)
                                ? std::optional<Target>(Target{&element, own})
                                : inChildren(i);
        }
        if (currentVals != 1 || only_->attribute == npos) {
            only_.reset();
        }
        for (std::size_t i = 0; i < order.size(); ++i) {
            const xmlElement* element = order[i];
            std::size_t id = 0;
            while (id < element->GetAttributeCount() && element->GetAttributeName(id) != L"id") {
                ++id;
            }
            if (id == element->GetAttributeCount() || element->GetAttributeValue(id).empty()) {
                continue;
            }
            const std::size_t own = FirstCurrentVal(*element, id + 1);
            const std::optional<Target> target = own != npos && IsWritable(*element, own, text)
                                                     ? std::optional<Target>(Target{element, own})
                                                     : inChildren(i);
            if (target) {
                byId_.push_back({element->GetAttributeValue(id), *target});
            }
        }
    }

    // The first box in document order with that id wins. A menu has a few boxes: a list
    // costs less code than a table.
    std::optional<Target> For(const std::wstring& id) const {
        if (id.empty()) {
            return only_;
        }
        for (const auto& [boxId, target] : byId_) {
            if (boxId == id) {
                return target;
            }
        }
        return std::nullopt;
    }

private:
    std::vector<std::pair<std::wstring_view, Target>> byId_; // ids as they lie in the tree
    std::optional<Target> only_;
};

// Orders edits by `before` and keeps the given order among equals; insertion sort suffices,
// as there is one edit per check box.
template <typename Before> void SortEdits(std::vector<const Edit*>& edits, Before before) {
    for (std::size_t i = 1; i < edits.size(); ++i) {
        const Edit* edit = edits[i];
        std::size_t j = i;
        for (; j > 0 && before(edit, edits[j - 1]); --j) {
            edits[j] = edits[j - 1];
        }
        edits[j] = edit;
    }
}

std::optional<Plan> MakePlan(std::string_view fileBytes,
                             const std::vector<CheckStateWrite>& states) {
    const std::string text = ReadTextMode(fileBytes);
    std::vector<std::size_t> offsets;
    const std::wstring decoded = DecodeUtf8(text, &offsets);
    Plan plan;
    try {
        plan.tree = ParseConfigBytes(fileBytes); // the tree and places of `decoded`
    } catch (const xmlError&) {
        return std::nullopt; // a file the menu cannot read is not touched
    }
    const xmlElement& root = plan.tree->Root();
    const std::size_t rootEnd = plan.tree->RootEndTag();
    if (rootEnd == npos) {
        return std::nullopt;
    }
    const Targets targets(root, decoded);
    for (const CheckStateWrite& state : states) {
        if (const auto target = targets.For(state.id)) {
            const xmlAttributePlace& place = target->element->GetAttributePlace(target->attribute);
            plan.edits.push_back({target->element, target->attribute, offsets[place.openQuote] + 1,
                                  offsets[place.closeQuote], state.checked});
        }
    }
    if (plan.edits.empty()) {
        return std::nullopt;
    }
    // The text ends with the root's own end tag, whatever the root is named.
    const std::size_t end = offsets[rootEnd + root.GetName().size() + 2] + 1;
    // Whatever stands before the first "<" (a byte order mark) goes, as it always has; but it
    // stays when it holds a "?", "=", ">" or space, which the reader takes into the root's
    // start tag or where it begins — a departure that keeps the file reading the same.
    std::size_t begin = text.find('<');
    if (text.find_first_of(" =>?") < begin) {
        begin = 0;
    }
    // Later states for the same value win, as separate rewrites one after another would.
    std::vector<const Edit*> byPosition;
    for (const Edit& edit : plan.edits) {
        byPosition.push_back(&edit);
    }
    SortEdits(byPosition, [](const Edit* a, const Edit* b) { return a->begin < b->begin; });
    std::string out;
    out.reserve(end - begin + 8);
    std::size_t from = begin;
    for (std::size_t i = 0; i < byPosition.size(); ++i) {
        const Edit* edit = byPosition[i];
        if (i + 1 < byPosition.size() && byPosition[i + 1]->begin == edit->begin) {
            continue; // a later state for this value follows
        }
        out.append(text, from, edit->begin - from);
        out.append(edit->checked ? "true" : "false");
        from = edit->end;
    }
    out.append(text, from, end - from);
    plan.bytes = WriteTextMode(out);
    return plan;
}

// Says whether `after` reads as `before` but for the edited values, which read as written.
bool ReadsAsPlanned(const xmlElement& before, const xmlElement& after,
                    const std::vector<Edit>& edits) {
    // The last state given for a value is what it holds: edits by value, the order given
    // kept among equals, and the last of a value's run looked up.
    std::vector<const Edit*> byValue;
    for (const Edit& edit : edits) {
        byValue.push_back(&edit);
    }
    const auto key = [](const Edit* e) { return std::pair(e->element, e->attribute); };
    SortEdits(byValue, [&](const Edit* a, const Edit* b) { return key(a) < key(b); });
    const auto written = [&](const xmlElement* element, std::size_t attribute) -> const Edit* {
        const auto wanted = std::pair(element, attribute);
        std::size_t lo = 0; // the first edit past the value's run
        for (std::size_t hi = byValue.size(); lo < hi;) {
            const std::size_t mid = lo + (hi - lo) / 2;
            if (key(byValue[mid]) <= wanted) {
                lo = mid + 1;
            } else {
                hi = mid;
            }
        }
        return lo > 0 && key(byValue[lo - 1]) == wanted ? byValue[lo - 1] : nullptr;
    };
    std::vector<std::pair<const xmlElement*, const xmlElement*>> stack{{&before, &after}};
    while (!stack.empty()) {
        const auto [a, b] = stack.back();
        stack.pop_back();
        if (a->GetName() != b->GetName() || a->GetAttributeCount() != b->GetAttributeCount() ||
            a->GetChildCount() != b->GetChildCount()) {
            return false;
        }
        for (std::size_t i = 0; i < a->GetAttributeCount(); ++i) {
            const Edit* edit = written(a, i);
            const std::wstring_view expected = edit == nullptr ? a->GetAttributeValue(i)
                                               : edit->checked ? L"true"
                                                               : L"false";
            if (a->GetAttributeName(i) != b->GetAttributeName(i) ||
                b->GetAttributeValue(i) != expected) {
                return false;
            }
        }
        for (std::size_t c = 0; c < a->GetChildCount(); ++c) {
            stack.emplace_back(a->GetChild(c), b->GetChild(c));
        }
    }
    return true;
}

} // namespace

std::optional<std::string> PlanCheckStates(std::string_view fileBytes,
                                           const std::vector<CheckStateWrite>& states) {
    auto plan = MakePlan(fileBytes, states);
    return plan ? std::optional<std::string>(std::move(plan->bytes)) : std::nullopt;
}

std::optional<std::string> RewriteCheckStates(std::string_view fileBytes,
                                              const std::vector<CheckStateWrite>& states) {
    auto plan = MakePlan(fileBytes, states);
    if (!plan) {
        return std::nullopt;
    }
    // The new bytes are read back as the menu reads them: anything but the planned values
    // changed, and the file is left as it is.
    try {
        const auto after = ParseConfigBytes(plan->bytes);
        if (!ReadsAsPlanned(plan->tree->Root(), after->Root(), plan->edits)) {
            return std::nullopt;
        }
    } catch (const xmlError&) {
        return std::nullopt;
    }
    return std::move(plan->bytes);
}

std::optional<std::string> RewriteCheckState(std::string_view fileBytes, std::wstring_view id,
                                             bool checked) {
    return RewriteCheckStates(fileBytes, {{std::wstring(id), checked}});
}

std::optional<std::wstring> TemporaryConfigPath(std::wstring_view configPath) {
    const std::size_t i = LowerAsciiLetters(configPath).find(L".xml");
    if (i == std::wstring::npos) {
        return std::nullopt;
    }
    const std::wstring piece(configPath.substr(i, 5));
    std::wstring temporary(configPath);
    for (std::size_t at = temporary.find(piece); at != std::wstring::npos;
         at = temporary.find(piece, at + piece.size() + 3)) {
        temporary.insert(at, L"___");
    }
    return temporary;
}

void WriteCheckStates(const std::wstring& configPath, const std::vector<CheckStateWrite>& states,
                      CheckStateFiles& files) {
    const auto stem = TemporaryConfigPath(configPath);
    if (configPath.empty() || states.empty() || !stem) {
        return;
    }
    for (int attempt = 0; attempt < kRewriteAttempts; ++attempt) {
        FileSnapshot read;
        if (!files.ReadForUpdate(configPath, read)) {
            return; // also a read-only file or medium: nothing changes, nothing is reported
        }
        const auto rewritten = RewriteCheckStates(read.bytes, states);
        if (!rewritten || *rewritten == read.bytes) {
            return; // already holding these states: left untouched, no write at each start
        }
        std::wstring temporary = *stem;
        if (!files.CreateTemporary(temporary)) {
            return;
        }
        if (!files.Write(*rewritten) || !files.Flush()) {
            files.Abandon();
            files.Remove(temporary);
            return;
        }
        // Replaced only while it holds what was read, so another program's edit is not lost;
        // one step, so the configuration file is never missing, not even after a crash.
        FileSnapshot now;
        if (files.ReadForUpdate(configPath, now) && now.writeTime == read.writeTime &&
            std::string_view(now.bytes) == std::string_view(read.bytes)) {
            if (!files.Replace(temporary, configPath)) {
                files.Remove(temporary);
            }
            return;
        }
        // Another program wrote the file meanwhile: start again from what it holds now (or
        // stop there, when it can no longer be read).
        files.Remove(temporary);
    }
}

void WriteCheckState(const std::wstring& configPath, const std::wstring& id, bool checked,
                     CheckStateFiles& files) {
    WriteCheckStates(configPath, {{id, checked}}, files);
}
