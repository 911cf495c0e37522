// The check-state rewrite's promise, judged by reading the file as the menu
// does: the rewritten bytes read as the same tree, except that exactly one
// "currentval" value now reads as the state written ("true" or "false"), and
// none when one already read so. That value lies within the element whose id
// is the check box's id; without an id, the tree holds only that one
// "currentval".
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

// What breaks the promise, or empty text when it holds. Bytes that cannot be
// read before the rewrite promise nothing.
inline std::string WriteBackFault(std::string_view before, std::string_view after,
                                  std::wstring_view id, bool checked) {
    std::unique_ptr<xmlTree> old;
    try {
        old = ParseXmlText(DecodeConfigText(before));
    } catch (const xmlError&) {
        return {};
    }
    std::unique_ptr<xmlTree> now;
    try {
        now = ParseXmlText(DecodeConfigText(after));
    } catch (const xmlError& e) {
        return std::string("the rewritten bytes cannot be read: ") + e.what();
    }
    const std::wstring_view state = checked ? L"true" : L"false";
    struct Pair {
        const xmlElement* old;
        const xmlElement* now;
        bool owned; // the element carries the id, or lies within one that does
    };
    // Iterative: trees go as deep as the reader allows.
    std::vector<Pair> open{{&old->Root(), &now->Root(), false}};
    std::size_t changed = 0;
    std::size_t alreadySo = 0;
    std::size_t currentvals = 0;
    while (!open.empty()) {
        const Pair p = open.back();
        open.pop_back();
        const auto where = [&] { return "element \"" + EncodeUtf8(p.old->GetName()) + "\""; };
        if (p.old->GetName() != p.now->GetName() ||
            p.old->GetAttributeCount() != p.now->GetAttributeCount() ||
            p.old->GetChildCount() != p.now->GetChildCount()) {
            return where() + " changed its name or its number of attributes or children";
        }
        bool owned = p.owned || id.empty();
        for (std::size_t i = 0; i < p.old->GetAttributeCount() && !owned; ++i) {
            if (p.old->GetAttributeName(i) == L"id") {
                owned = p.old->GetAttributeValue(i) == id;
                break;
            }
        }
        for (std::size_t i = 0; i < p.old->GetAttributeCount(); ++i) {
            const std::wstring_view name = p.old->GetAttributeName(i);
            if (name != p.now->GetAttributeName(i)) {
                return where() + " has an attribute renamed";
            }
            const bool isCurrentval = name == L"currentval";
            currentvals += isCurrentval;
            if (p.old->GetAttributeValue(i) == p.now->GetAttributeValue(i)) {
                alreadySo += isCurrentval && owned && p.old->GetAttributeValue(i) == state;
                continue;
            }
            if (!isCurrentval) {
                return where() + ": the value of \"" + EncodeUtf8(name) + "\" changed";
            }
            if (p.now->GetAttributeValue(i) != state) {
                return where() + ": \"currentval\" reads \"" +
                       EncodeUtf8(p.now->GetAttributeValue(i)) + "\", not the state written";
            }
            if (!owned) {
                return where() + ": a \"currentval\" outside the element with the id changed";
            }
            ++changed;
        }
        for (std::size_t c = 0; c < p.old->GetChildCount(); ++c) {
            open.push_back({p.old->GetChild(c), p.now->GetChild(c), owned});
        }
    }
    if (changed > 1) {
        return std::to_string(changed) + " \"currentval\" values changed";
    }
    if (id.empty() && currentvals != 1) {
        return "without an id the tree holds " + std::to_string(currentvals) +
               " \"currentval\" attributes";
    }
    if (changed == 0 && alreadySo == 0) {
        return "no \"currentval\" of the element with the id reads the state written";
    }
    return {};
}
