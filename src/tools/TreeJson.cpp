#include "tools/TreeJson.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "xml/TextDecoding.h"
#include "xml/xmlElement.h"

std::string JsonString(std::wstring_view text) {
    const std::string utf8 = EncodeUtf8(text);
    std::string out;
    out.reserve(utf8.size() + 2);
    out.push_back('"');
    for (const char c : utf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                out += escaped;
            } else {
                out.push_back(c);
            }
        }
    }
    out.push_back('"');
    return out;
}

std::string TreeToJson(const xmlElement& root) {
    std::string out;
    // An explicit stack of (element, next child index) serves, as the tree may be deep.
    std::vector<std::pair<const xmlElement*, std::size_t>> open;
    auto begin = [&](const xmlElement& e) {
        out += "{\"name\":";
        out += JsonString(e.GetName());
        out += ",\"attributes\":[";
        for (std::size_t i = 0; i < e.GetAttributeCount(); ++i) {
            out += i ? ",[" : "[";
            out += JsonString(e.GetAttributeName(i));
            out += ',';
            out += JsonString(e.GetAttributeValue(i));
            out += ']';
        }
        out += "],\"children\":[";
        open.emplace_back(&e, 0);
    };
    begin(root);
    while (!open.empty()) {
        auto& [element, next] = open.back();
        if (next == element->GetChildCount()) {
            out += "]}";
            open.pop_back();
            continue;
        }
        if (next > 0) {
            out += ',';
        }
        begin(*element->GetChild(next++));
    }
    return out;
}
