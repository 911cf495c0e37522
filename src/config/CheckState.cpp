#include "config/CheckState.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "config/InPlaceEdit.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

namespace {

constexpr std::size_t npos = std::string::npos;

// `items` ordered by `before`, the order given kept among equals: insertion sort, as a menu
// writes few values at once.
template <typename T, typename Before> void SortStable(std::vector<T>& items, Before before) {
    for (std::size_t i = 1; i < items.size(); ++i) {
        T item = items[i];
        std::size_t j = i;
        for (; j > 0 && before(item, items[j - 1]); --j) {
            items[j] = items[j - 1];
        }
        items[j] = item;
    }
}

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
// by white space, "=", white space and the value's opening double quote.
bool IsWritable(const xmlElement& element, std::size_t i, std::wstring_view text) {
    const xmlAttributePlace& place = element.GetAttributePlace(i);
    if (!ValueInPlace(element, i) || text.compare(place.name, 10, L"currentval") != 0) {
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
    return at == place.openQuote;
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
    SortStable(byPosition, [](const Edit* a, const Edit* b) { return a->begin < b->begin; });
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
        std::vector<ValueEdit> edits;
        for (const Edit& edit : plan->edits) {
            edits.push_back({edit.element, edit.attribute, {}, edit.checked ? L"true" : L"false"});
        }
        const auto after = ParseConfigBytes(plan->bytes);
        if (!ReadsAsEdited(plan->tree->Root(), after->Root(), edits)) {
            return std::nullopt;
        }
    } catch (const xmlError&) {
        return std::nullopt;
    }
    return std::move(plan->bytes);
}

std::optional<std::wstring> TemporaryConfigPath(std::wstring_view configPath) {
    // Departure: only the file's own name, as a folder "m.xml" must not send the file elsewhere.
    const std::size_t nameAt = configPath.find_last_of(L"\\/") + 1; // 0 without a folder
    const std::size_t i = LowerAsciiLetters(configPath.substr(nameAt)).find(L".xml");
    if (i == npos) {
        return std::nullopt;
    }
    // "___" goes before each place the name holds that piece, as written there.
    const std::wstring piece(configPath.substr(nameAt + i, 5));
    std::wstring temporary(configPath);
    for (std::size_t at = nameAt; (at = temporary.find(piece, at)) != npos;
         at += 3 + piece.size()) {
        temporary.insert(at, L"___");
    }
    return temporary;
}

bool RewriteConfigFile(const std::wstring& configPath, ConfigRewrite& rewrite,
                       CheckStateFiles& files) {
    const auto stem = TemporaryConfigPath(configPath);
    if (configPath.empty() || !stem) {
        return false;
    }
    for (int attempt = 0; attempt < kRewriteAttempts; ++attempt) {
        FileSnapshot read;
        if (!files.ReadForUpdate(configPath, read)) {
            return false; // also a read-only file or medium: nothing changes
        }
        const auto rewritten = rewrite.NewBytes(read.bytes);
        if (!rewritten) {
            return false;
        }
        if (*rewritten == read.bytes) {
            return true; // holding these bytes already: left untouched, no write at each start
        }
        std::wstring temporary = *stem;
        if (!files.CreateTemporary(temporary)) {
            return false;
        }
        if (!files.Write(*rewritten) || !files.Flush()) {
            files.Abandon();
            files.Remove(temporary);
            return false;
        }
        // Replaced only while it holds what was read, and held against other writers from that
        // read on, so another program's save is not lost; one step, so the configuration file
        // is never missing, not even after a crash.
        FileSnapshot now;
        if (files.HoldForReplace(configPath, now) && now.writeTime == read.writeTime &&
            std::string_view(now.bytes) == std::string_view(read.bytes)) {
            if (!files.Replace(temporary, configPath)) {
                files.Remove(temporary);
                return false;
            }
            return true;
        }
        // Another program wrote the file meanwhile: start again from what it holds now (or
        // stop there, when it can no longer be read).
        files.Abandon();
        files.Remove(temporary);
    }
    return false;
}

void WriteCheckStates(const std::wstring& configPath, const std::vector<CheckStateWrite>& states,
                      CheckStateFiles& files) {
    struct States final : ConfigRewrite {
        explicit States(const std::vector<CheckStateWrite>& all) : states(all) {}
        std::optional<std::string> NewBytes(std::string_view current) override {
            return RewriteCheckStates(current, states);
        }
        const std::vector<CheckStateWrite>& states;
    };
    if (!states.empty()) {
        States rewrite(states);
        RewriteConfigFile(configPath, rewrite, files); // reports nothing
    }
}

void WriteCheckState(const std::wstring& configPath, const std::wstring& id, bool checked,
                     CheckStateFiles& files) {
    WriteCheckStates(configPath, {{id, checked}}, files);
}
