#include "design/ControlBytes.h"

#include <algorithm>
#include <memory>
#include <numeric>
#include <utility>

#include "config/AttributeEdit.h"
#include "config/MenuSettings.h"
#include "config/ValueConversions.h"
#include "xml/TextOffsets.h"
#include "xml/xmlReader.h"

namespace {

constexpr std::size_t npos = std::wstring_view::npos;

// An element in document order with its depth under the root: the order and the depths are
// the whole tree, so two such lists compare two trees.
struct Node {
    std::size_t depth;
    const xmlElement* element;
};

std::vector<Node> Preorder(const xmlElement& root) {
    std::vector<Node> nodes;
    for (std::vector<Node> open{{0, &root}}; !open.empty();) {
        const Node n = open.back();
        open.pop_back();
        nodes.push_back(n);
        for (std::size_t c = n.element->GetChildCount(); c > 0; --c) {
            open.push_back({n.depth + 1, n.element->GetChild(c - 1)});
        }
    }
    return nodes;
}

std::size_t IndexOf(const std::vector<Node>& nodes, const xmlElement* e) {
    return static_cast<std::size_t>(
        std::find_if(nodes.begin(), nodes.end(), [&](const Node& n) { return n.element == e; }) -
        nodes.begin());
}

// The element at `k` and everything below it.
std::size_t SubtreeSize(const std::vector<Node>& nodes, std::size_t k) {
    std::size_t end = k + 1;
    while (end < nodes.size() && nodes[end].depth > nodes[k].depth) {
        ++end;
    }
    return end - k;
}

bool SameNode(const Node& a, const Node& b) {
    const xmlElement& x = *a.element;
    const xmlElement& y = *b.element;
    if (a.depth != b.depth || x.GetName() != y.GetName() ||
        x.GetAttributeCount() != y.GetAttributeCount()) {
        return false;
    }
    for (std::size_t i = 0; i < x.GetAttributeCount(); ++i) {
        if (x.GetAttributeName(i) != y.GetAttributeName(i) ||
            x.GetAttributeValue(i) != y.GetAttributeValue(i)) {
            return false;
        }
    }
    return true;
}

// Whether `after` is `before` with `removed` nodes at `at` taken out and `inserted` put there.
bool ReadsAround(const std::vector<Node>& before, const std::vector<Node>& after, std::size_t at,
                 std::size_t removed, std::size_t inserted) {
    if (after.size() + removed != before.size() + inserted) {
        return false;
    }
    for (std::size_t i = 0; i < after.size(); ++i) {
        const bool isNew = i >= at && i < at + inserted;
        if (!isNew && !SameNode(after[i], before[i < at ? i : i - inserted + removed])) {
            return false;
        }
    }
    return true;
}

// Whether `n` is element `name` at `depth` with exactly these attributes.
bool IsElement(const Node& n, std::size_t depth, std::wstring_view name,
               const std::vector<std::pair<std::wstring_view, std::wstring>>& attributes) {
    const xmlElement& e = *n.element;
    if (n.depth != depth || e.GetName() != name || e.GetAttributeCount() != attributes.size()) {
        return false;
    }
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        if (e.GetAttributeName(i) != attributes[i].first ||
            e.GetAttributeValue(i) != attributes[i].second) {
            return false;
        }
    }
    return true;
}

// Where the element's text ends: after its "/>", or after its end tag, which follows its last
// child with no "<" between. npos where the text does not stand so.
std::size_t ElementEnd(std::wstring_view text, const xmlElement& e) {
    const std::size_t gt = text.find(L'>', e.GetOffset());
    if (gt == npos) {
        return npos;
    }
    if (text[gt - 1] == L'/') {
        return gt + 1;
    }
    std::size_t at = gt + 1;
    for (std::size_t c = 0; c < e.GetChildCount() && at != npos; ++c) {
        at = ElementEnd(text, *e.GetChild(c));
    }
    const std::size_t lt = at == npos ? npos : text.find(L'<', at);
    const std::wstring endTag = L"</" + std::wstring(e.GetName()) + L">";
    return lt != npos && text.compare(lt, endTag.size(), endTag) == 0 ? lt + endTag.size() : npos;
}

// The blanks before `at` on its line, or none when other text stands there.
std::optional<std::wstring_view> IndentBefore(std::wstring_view text, std::size_t at) {
    const std::size_t line = at == 0 ? 0 : text.rfind(L'\n', at - 1) + 1;
    const std::wstring_view lead = text.substr(line, at - line);
    return lead.find_first_not_of(L" \t") == npos ? std::optional(lead) : std::nullopt;
}

// Whether only blanks follow `at` on its line.
bool BlankAfter(std::wstring_view text, std::size_t at) {
    const std::size_t nl = text.find(L'\n', at);
    return text.substr(at, nl == npos ? npos : nl - at).find_first_not_of(L" \t") == npos;
}

// The bytes each unit of the decoded text starts at, in the order given; none when decoding
// stops elsewhere than at the text's end.
std::optional<std::vector<std::size_t>> BytesAt(std::string_view bytes, std::wstring_view text,
                                                const std::vector<std::size_t>& units) {
    std::vector<std::size_t> order(units.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](std::size_t a, std::size_t b) { return units[a] < units[b]; });
    std::vector<std::size_t> sorted;
    for (const std::size_t i : order) {
        sorted.push_back(units[i]);
    }
    sorted.insert(sorted.end(), {text.size(), text.size() + 1});
    ConfigTextByteOffsets(bytes, sorted);
    if (sorted[units.size()] == npos || sorted[units.size() + 1] != npos) {
        return std::nullopt;
    }
    std::vector<std::size_t> offsets(units.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        offsets[order[i]] = sorted[i];
    }
    return offsets;
}

// The line end whose line feed is at byte `lf`'s unit: CR LF when it starts with a CR.
std::string LineEndAt(std::string_view bytes, std::size_t at) {
    return at < bytes.size() && bytes[at] == '\r' ? "\r\n" : "\n";
}

// The file's first line end, for a place without one of its own.
std::string FirstLineEnd(std::string_view bytes) {
    const std::size_t lf = bytes.find('\n');
    return lf != npos && lf > 0 && bytes[lf - 1] == '\r' ? "\r\n" : "\n";
}

std::string Utf8(std::wstring_view text) {
    return EncodeUtf8(text);
}

ControlEdit Refused(const wchar_t* why) {
    return {std::nullopt, why};
}

const wchar_t* const kUnreadable = L"The file cannot be read as it is now.";
const wchar_t* const kNoEnd = L"The element's end cannot be found in the file.";
const wchar_t* const kDifferent = L"The file would read differently beyond this change.";

// One read of the bytes a change starts from.
struct Before {
    std::unique_ptr<xmlTree> tree;
    std::vector<Node> nodes;
};

std::optional<Before> ReadBefore(std::string_view bytes) {
    try {
        Before b{ParseConfigBytes(bytes), {}};
        b.nodes = Preorder(b.tree->Root());
        return b;
    } catch (const xmlError&) {
        return std::nullopt;
    }
}

// `bytes` with [from, to) replaced by `insert`, when the result reads as `expected` says of its
// document order; else the refusal.
template <typename Check>
ControlEdit Spliced(std::string_view bytes, std::size_t from, std::size_t to,
                    const std::string& insert, Check expected) {
    std::string out(bytes.substr(0, from));
    out += insert;
    out.append(bytes.substr(to));
    try {
        const auto after = ParseConfigBytes(out);
        if (!expected(Preorder(after->Root()))) {
            return Refused(kDifferent);
        }
    } catch (const xmlError&) {
        return Refused(kDifferent);
    }
    return {std::move(out), {}};
}

} // namespace

const xmlElement* ControlElement(const xmlTree& tree, const ControlRef& control) {
    const xmlElement* root = &tree.Root();
    if (control.page < 0) {
        return FindChild(root, L"BtnBeenden");
    }
    const xmlElement* pages = FindChild(root, L"Pages");
    const auto page = static_cast<std::size_t>(control.page);
    if (pages == nullptr || page >= pages->GetChildCount() ||
        control.index >= pages->GetChild(page)->GetChildCount()) {
        return nullptr;
    }
    return pages->GetChild(page)->GetChild(control.index);
}

const xmlElement* ControlPart(const xmlTree& tree, const ControlRef& control,
                              std::wstring_view part) {
    const xmlElement* element = ControlElement(tree, control);
    return part.empty() ? element : FindChild(element, part);
}

std::vector<DesignControl> ReadDesignControls(const xmlTree& tree) {
    std::vector<DesignControl> controls;
    const xmlElement* root = &tree.Root();
    const xmlElement* config = FindChild(root, L"ButtonConfig");
    const auto add = [&](const ControlRef& ref, const xmlElement& element) {
        const ControlSettings s = ReadControlSettings(element, config);
        controls.push_back({ref,
                            {s.left, s.top, s.left + s.width, s.top + s.height},
                            s.caption,
                            s.kind == ControlKind::CheckBox,
                            s.id});
    };
    if (const xmlElement* quit = FindChild(root, L"BtnBeenden")) {
        add({-1, 0}, *quit);
    }
    const xmlElement* pages = FindChild(root, L"Pages");
    for (std::size_t p = 0; pages != nullptr && p < pages->GetChildCount(); ++p) {
        const xmlElement* page = pages->GetChild(p);
        for (std::size_t c = 0; c < page->GetChildCount(); ++c) {
            add({static_cast<int>(p), c}, *page->GetChild(c));
        }
    }
    return controls;
}

DesignRect NewButtonSize(const xmlTree& tree) {
    const xmlElement* defaults =
        FindChild(FindChild(&tree.Root(), L"ButtonConfig"), L"ButtonLayout");
    const auto size = [&](const wchar_t* name, long fallback) {
        const long n = defaults == nullptr ? 0 : TextToInt(defaults->GetAttribute(name));
        return n > 0 ? n : fallback; // without a default the button would not show
    };
    return {0, 0, size(L"width", 100), size(L"height", 30)};
}

namespace {

using Attributes = std::vector<std::pair<std::wstring_view, std::wstring>>;

ControlEdit Edited(std::string_view bytes, const xmlTree& tree, const xmlElement& element,
                   std::wstring_view name, std::wstring_view value) {
    EditResult edit = EditAttribute(bytes, tree, element, name, value);
    return {std::move(edit.bytes), edit.bytes ? L"" : EditRefusalText(edit.refusal)};
}

// `<name a="v" …/>` as the control's first child, indented like the next one. The names and
// values are plain ASCII (numbers), the same in every encoding the file may have.
ControlEdit AddFirstChild(std::string_view bytes, const ControlRef& control, std::wstring_view name,
                          const Attributes& attributes) {
    const std::optional<Before> old = ReadBefore(bytes);
    const xmlElement* e = old ? ControlElement(*old->tree, control) : nullptr;
    if (e == nullptr) {
        return Refused(kUnreadable);
    }
    const std::wstring_view text = old->tree->Text();
    std::string insert = "<";
    insert += Utf8(name);
    for (const auto& [attribute, value] : attributes) {
        insert += ' ';
        insert += Utf8(attribute);
        insert += "=\"";
        insert += Utf8(value);
        insert += '"';
    }
    insert += "/>";
    std::size_t at = 0;
    std::size_t lineEnd = npos; // the unit of the line end before the place, when it has a line
    if (e->GetChildCount() > 0) {
        const std::size_t first = e->GetChild(0)->GetOffset();
        const std::optional<std::wstring_view> indent = IndentBefore(text, first);
        at = first;
        if (indent && first > indent->size()) { // on a line of its own
            at = first - indent->size();
            lineEnd = at - 1;
            insert = Utf8(*indent) + insert;
        }
    } else {
        const std::size_t gt = text.find(L'>', e->GetOffset());
        if (gt == npos || text[gt - 1] == L'/') {
            return Refused(L"The control's element has no room for a child.");
        }
        at = gt + 1;
    }
    const auto offsets = BytesAt(bytes, text, {at, lineEnd == npos ? at : lineEnd});
    if (!offsets) {
        return Refused(kUnreadable);
    }
    if (lineEnd != npos) {
        insert += LineEndAt(bytes, (*offsets)[1]);
    }
    const std::size_t k = IndexOf(old->nodes, e);
    const std::size_t depth = old->nodes[k].depth + 1;
    return Spliced(bytes, (*offsets)[0], (*offsets)[0], insert, [&](const std::vector<Node>& now) {
        return ReadsAround(old->nodes, now, k + 1, 0, 1) &&
               IsElement(now[k + 1], depth, name, attributes);
    });
}

} // namespace

ControlEdit SetControlAttribute(std::string_view bytes, const ControlRef& control,
                                std::wstring_view part, std::wstring_view name,
                                std::wstring_view value) {
    const std::optional<Before> old = ReadBefore(bytes);
    if (!old) {
        return Refused(kUnreadable);
    }
    const xmlTree* tree = old->tree.get();
    if (const xmlElement* element = ControlPart(*tree, control, part)) {
        return Edited(bytes, *tree, *element, name, value);
    }
    const auto child = std::find_if(RuleFor(Context::Control).children.begin(),
                                    RuleFor(Context::Control).children.end(),
                                    [&](const ChildRule& rule) { return rule.name == part; });
    if (child == RuleFor(Context::Control).children.end()) {
        return {std::nullopt, L"The control has no " + std::wstring(part) + L" element."};
    }
    // A part of its own decides even for what it leaves out: it takes ButtonConfig's values of
    // those attributes along, so that only the attribute set reads differently.
    Attributes values;
    const xmlElement* defaults = FindChild(FindChild(&tree->Root(), L"ButtonConfig"), part);
    for (const AttributeRule& rule : RuleFor(child->context).attributes) {
        const std::wstring inherited =
            defaults == nullptr ? std::wstring() : defaults->GetAttribute(rule.name);
        if (rule.fromButtonConfig == Supplied::WholeElement && !inherited.empty() &&
            rule.name != name) {
            values.emplace_back(rule.name, inherited);
        }
    }
    values.emplace_back(name, value);
    // The reader takes "<Font/>" as an element named "Font/": the new one starts with its first
    // attribute empty, and each value is then written in the file's own encoding.
    ControlEdit edit = AddFirstChild(bytes, control, part, {{values.front().first, L""}});
    for (const auto& [attribute, text] : values) {
        if (edit.bytes) {
            edit = SetControlAttribute(*edit.bytes, control, part, attribute, text);
        }
    }
    return edit;
}

ControlEdit SetMenuAttribute(std::string_view bytes, std::wstring_view name,
                             std::wstring_view value) {
    const std::optional<Before> old = ReadBefore(bytes);
    const xmlElement* general = old ? FindChild(&old->tree->Root(), L"General") : nullptr;
    if (general == nullptr) {
        return Refused(old ? L"The file has no General element." : kUnreadable);
    }
    return Edited(bytes, *old->tree, *general, name, value);
}

ControlEdit AddControlPosition(std::string_view bytes, const ControlRef& control, long left,
                               long top) {
    return AddFirstChild(bytes, control, L"ButtonPosition",
                         {{L"left", std::to_wstring(left)}, {L"top", std::to_wstring(top)}});
}

ControlEdit AddPushButton(std::string_view bytes, int page, const DesignRect& r) {
    const std::optional<Before> old = ReadBefore(bytes);
    const xmlElement* pages = old ? FindChild(&old->tree->Root(), L"Pages") : nullptr;
    if (pages == nullptr || page < 0 || static_cast<std::size_t>(page) >= pages->GetChildCount()) {
        return Refused(L"The file has no such page.");
    }
    const xmlElement* pageElement = pages->GetChild(static_cast<std::size_t>(page));
    const std::wstring_view text = old->tree->Text();
    const std::wstring left = std::to_wstring(r.left);
    const std::wstring top = std::to_wstring(r.top);
    const std::wstring width = std::to_wstring(r.right - r.left);
    const std::wstring height = std::to_wstring(r.bottom - r.top);
    const std::string position =
        "<ButtonPosition left=\"" + Utf8(left) + "\" top=\"" + Utf8(top) + "\"/>";
    const std::string layout = "<ButtonLayout caption=\"Button\" width=\"" + Utf8(width) +
                               "\" height=\"" + Utf8(height) + "\"/>";
    // The element on one line, or on lines of its own with its children one step further in.
    const auto element = [&](const std::string& indent, const std::string& step,
                             const std::string& eol) {
        if (eol.empty()) {
            return "<Button>" + position + layout + "</Button>";
        }
        return "<Button>" + eol + indent + step + position + eol + indent + step + layout + eol +
               indent + "</Button>";
    };
    std::size_t at = 0;
    std::size_t lineEnd = npos; // the unit of the line end the new lines copy
    std::string indent;
    std::string step;
    bool ownLines = false;
    std::size_t k = 0; // where the new button stands in document order
    const std::size_t pageAt = IndexOf(old->nodes, pageElement);
    if (pageElement->GetChildCount() > 0) {
        const xmlElement* last = pageElement->GetChild(pageElement->GetChildCount() - 1);
        at = ElementEnd(text, *last);
        if (at == npos) {
            return Refused(kNoEnd);
        }
        const std::optional<std::wstring_view> own = IndentBefore(text, last->GetOffset());
        ownLines = own && BlankAfter(text, at);
        if (ownLines) {
            indent = Utf8(*own);
            lineEnd = std::min(text.find(L'\n', at), text.size());
            const std::optional<std::wstring_view> inner =
                last->GetChildCount() > 0 ? IndentBefore(text, last->GetChild(0)->GetOffset())
                                          : std::nullopt;
            if (inner && inner->size() > own->size() && inner->substr(0, own->size()) == *own) {
                step = Utf8(inner->substr(own->size()));
            }
        }
        const std::size_t lastAt = IndexOf(old->nodes, last);
        k = lastAt + SubtreeSize(old->nodes, lastAt);
    } else {
        const std::size_t end = ElementEnd(text, *pageElement);
        const std::size_t tag = pageElement->GetName().size() + 3;
        if (end == npos || end < tag || text[end - tag + 1] != L'/') {
            return Refused(L"The page has no end tag to add a control before.");
        }
        at = end - tag;
        const std::optional<std::wstring_view> pageIndent =
            IndentBefore(text, pageElement->GetOffset());
        const std::optional<std::wstring_view> pagesIndent = IndentBefore(text, pages->GetOffset());
        std::wstring inner = L"  ";
        if (pageIndent && pagesIndent && pageIndent->size() > pagesIndent->size() &&
            pageIndent->substr(0, pagesIndent->size()) == *pagesIndent) {
            inner = pageIndent->substr(pagesIndent->size());
        }
        const std::optional<std::wstring_view> endIndent = IndentBefore(text, at);
        ownLines = pageIndent && endIndent && at > endIndent->size() &&
                   at - endIndent->size() > pageElement->GetOffset();
        if (ownLines) {
            at -= endIndent->size();
            lineEnd = at - 1;
            indent = Utf8(std::wstring(*pageIndent) + inner);
            step = Utf8(inner);
        }
        k = pageAt + 1;
    }
    const auto offsets = BytesAt(bytes, text, {at, lineEnd == npos ? at : lineEnd});
    if (!offsets) {
        return Refused(kUnreadable);
    }
    std::string insert;
    if (!ownLines) {
        insert = element({}, {}, {});
    } else {
        const std::string eol =
            (*offsets)[1] < bytes.size() ? LineEndAt(bytes, (*offsets)[1]) : FirstLineEnd(bytes);
        const std::string lines = element(indent, step, step.empty() ? std::string() : eol);
        insert = pageElement->GetChildCount() > 0 ? eol + indent + lines : indent + lines + eol;
    }
    const std::size_t depth = old->nodes[pageAt].depth + 1;
    return Spliced(bytes, (*offsets)[0], (*offsets)[0], insert, [&](const std::vector<Node>& now) {
        return ReadsAround(old->nodes, now, k, 0, 3) && IsElement(now[k], depth, L"Button", {}) &&
               IsElement(now[k + 1], depth + 1, L"ButtonPosition",
                         {{L"left", left}, {L"top", top}}) &&
               IsElement(now[k + 2], depth + 1, L"ButtonLayout",
                         {{L"caption", L"Button"}, {L"width", width}, {L"height", height}});
    });
}

ControlEdit CopyControl(std::string_view bytes, const ControlRef& control) {
    const std::optional<Before> old = ReadBefore(bytes);
    const xmlElement* e = old ? ControlElement(*old->tree, control) : nullptr;
    if (e == nullptr) {
        return Refused(kUnreadable);
    }
    const std::wstring_view text = old->tree->Text();
    const std::size_t start = e->GetOffset();
    const std::size_t end = ElementEnd(text, *e);
    if (end == npos) {
        return Refused(kNoEnd);
    }
    const std::optional<std::wstring_view> indent = IndentBefore(text, start);
    const bool ownLines = indent && BlankAfter(text, end);
    const std::size_t lineEnd = std::min(text.find(L'\n', end), text.size());
    const auto offsets = BytesAt(bytes, text, {start, end, lineEnd});
    if (!offsets) {
        return Refused(kUnreadable);
    }
    const std::size_t from = (*offsets)[0];
    const std::size_t to = (*offsets)[1];
    const std::size_t lf = (*offsets)[2];
    std::string insert(bytes.substr(from, to - from));
    if (ownLines) {
        const std::string eol = lf < bytes.size() ? LineEndAt(bytes, lf) : FirstLineEnd(bytes);
        insert = eol + Utf8(*indent) + insert;
    }
    const std::size_t k = IndexOf(old->nodes, e);
    const std::size_t size = SubtreeSize(old->nodes, k);
    return Spliced(bytes, to, to, insert, [&](const std::vector<Node>& now) {
        if (!ReadsAround(old->nodes, now, k + size, 0, size)) {
            return false;
        }
        for (std::size_t i = 0; i < size; ++i) {
            if (!SameNode(now[k + size + i], old->nodes[k + i])) {
                return false;
            }
        }
        return true;
    });
}

ControlEdit RemoveControl(std::string_view bytes, const ControlRef& control) {
    const std::optional<Before> old = ReadBefore(bytes);
    const xmlElement* e = old ? ControlElement(*old->tree, control) : nullptr;
    if (e == nullptr) {
        return Refused(kUnreadable);
    }
    const std::wstring_view text = old->tree->Text();
    std::size_t from = e->GetOffset();
    std::size_t to = ElementEnd(text, *e);
    if (to == npos) {
        return Refused(kNoEnd);
    }
    if (const std::optional<std::wstring_view> indent = IndentBefore(text, from);
        indent && BlankAfter(text, to)) {
        from -= indent->size();
        to = std::min(text.find(L'\n', to), text.size() - 1) + 1;
    }
    const auto offsets = BytesAt(bytes, text, {from, to});
    if (!offsets) {
        return Refused(kUnreadable);
    }
    const std::size_t k = IndexOf(old->nodes, e);
    const std::size_t size = SubtreeSize(old->nodes, k);
    return Spliced(bytes, (*offsets)[0], (*offsets)[1], {}, [&](const std::vector<Node>& now) {
        return ReadsAround(old->nodes, now, k, size, 0);
    });
}
