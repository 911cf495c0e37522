#include "config/InPlaceEdit.h"

#include <algorithm>
#include <string>
#include <utility>

#include "xml/TextDecoding.h"

std::vector<std::size_t> FileByteOffsets(std::string_view fileBytes) {
    // The text-mode read, noting where each of its bytes came from.
    std::string text;
    std::vector<std::size_t> fromFile;
    std::size_t i = 0;
    for (; i < fileBytes.size() && fileBytes[i] != '\x1A'; ++i) {
        fromFile.push_back(i);
        if (fileBytes[i] == '\r' && i + 1 < fileBytes.size() && fileBytes[i + 1] == '\n') {
            ++i;
        }
        text.push_back(fileBytes[i]);
    }
    fromFile.push_back(i);
    std::vector<std::size_t> offsets;
    DecodeUtf8(text, &offsets);
    for (std::size_t& offset : offsets) {
        offset = fromFile[offset];
    }
    return offsets;
}

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
    // Edits by value, the order given kept among equals; the last of a value's run counts.
    std::vector<const ValueEdit*> byValue;
    for (const ValueEdit& edit : edits) {
        byValue.push_back(&edit);
    }
    const auto key = [](const ValueEdit* e) { return std::pair(e->element, e->attribute); };
    SortStable(byValue, [&](const ValueEdit* a, const ValueEdit* b) { return key(a) < key(b); });
    const auto written = [&](const xmlElement* element, std::size_t attribute) -> const ValueEdit* {
        const auto wanted = std::pair(element, attribute);
        const auto past =
            std::upper_bound(byValue.begin(), byValue.end(), wanted,
                             [&](const auto& w, const ValueEdit* e) { return w < key(e); });
        return past != byValue.begin() && key(*(past - 1)) == wanted ? *(past - 1) : nullptr;
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
