#include "config/InPlaceEdit.h"

#include <utility>

bool ValueInPlace(const xmlElement& element, std::size_t i) {
    const xmlAttributePlace& place = element.GetAttributePlace(i);
    if (place.name == xmlAttributePlace::npos) {
        return false;
    }
    for (std::size_t later = i + 1; later < element.GetAttributeCount(); ++later) {
        if (element.GetAttributePlace(later).name <= place.closeQuote) {
            return false;
        }
    }
    return true;
}

bool ReadsAsEdited(const xmlElement& before, const xmlElement& after,
                   const std::vector<ValueEdit>& edits) {
    // The last edit given for a value counts. A menu writes few values at once: a search
    // backwards costs less code than a sorted table.
    const auto written = [&](const xmlElement* element, std::size_t attribute) -> const ValueEdit* {
        for (std::size_t e = edits.size(); e-- > 0;) {
            if (edits[e].element == element && edits[e].attribute == attribute) {
                return &edits[e];
            }
        }
        return nullptr;
    };
    std::vector<std::pair<const xmlElement*, const xmlElement*>> stack{{&before, &after}};
    while (!stack.empty()) {
        const auto [a, b] = stack.back();
        stack.pop_back();
        const std::size_t count = a->GetAttributeCount();
        const ValueEdit* added = written(a, count);
        if (a->GetName() != b->GetName() ||
            b->GetAttributeCount() != count + (added != nullptr ? 1 : 0) ||
            a->GetChildCount() != b->GetChildCount()) {
            return false;
        }
        for (std::size_t i = 0; i < count; ++i) {
            const ValueEdit* edit = written(a, i);
            const std::wstring_view expected =
                edit == nullptr ? a->GetAttributeValue(i) : edit->value;
            if (a->GetAttributeName(i) != b->GetAttributeName(i) ||
                b->GetAttributeValue(i) != expected) {
                return false;
            }
        }
        if (added != nullptr && (b->GetAttributeName(count) != LowerAsciiLetters(added->name) ||
                                 b->GetAttributeValue(count) != added->value)) {
            return false;
        }
        for (std::size_t c = 0; c < a->GetChildCount(); ++c) {
            stack.emplace_back(a->GetChild(c), b->GetChild(c));
        }
    }
    return true;
}
