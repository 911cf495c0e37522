// What must hold for every check-state rewrite: the new file reads as the old
// one but for "currentval" values, each now reading as a state written.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "config/TextDecoding.h"
#include "config/xmlReader.h"

// None when `after` reads as `before` except for at most `maxChanges` attribute
// values, each named "currentval" and reading "true" or "false"; otherwise what differs.
inline std::optional<std::string>
RewriteBreaksTheFile(const std::string& before, const std::string& after, std::size_t maxChanges) {
    std::unique_ptr<xmlTree> old;
    std::unique_ptr<xmlTree> now;
    try {
        old = ParseXmlText(DecodeConfigText(before));
    } catch (const xmlError&) {
        return "an unreadable file was rewritten";
    }
    try {
        now = ParseXmlText(DecodeConfigText(after));
    } catch (const xmlError& e) {
        return std::string("the rewritten file cannot be read: ") + e.what();
    }
    std::size_t changes = 0;
    std::vector<std::pair<const xmlElement*, const xmlElement*>> stack{
        {&old->Root(), &now->Root()}};
    while (!stack.empty()) {
        const auto [a, b] = stack.back();
        stack.pop_back();
        if (a->GetName() != b->GetName() || a->GetAttributeCount() != b->GetAttributeCount() ||
            a->GetChildCount() != b->GetChildCount()) {
            return "the structure changed at " + EncodeUtf8(a->GetName());
        }
        for (std::size_t i = 0; i < a->GetAttributeCount(); ++i) {
            if (a->GetAttributeName(i) != b->GetAttributeName(i)) {
                return "an attribute name changed: " + EncodeUtf8(a->GetAttributeName(i));
            }
            if (a->GetAttributeValue(i) == b->GetAttributeValue(i)) {
                continue;
            }
            if (++changes > maxChanges || a->GetAttributeName(i) != L"currentval" ||
                (b->GetAttributeValue(i) != L"true" && b->GetAttributeValue(i) != L"false")) {
                return "a value changed: " + EncodeUtf8(a->GetAttributeName(i)) + "=" +
                       EncodeUtf8(b->GetAttributeValue(i));
            }
        }
        for (std::size_t c = 0; c < a->GetChildCount(); ++c) {
            stack.emplace_back(a->GetChild(c), b->GetChild(c));
        }
    }
    return std::nullopt;
}
