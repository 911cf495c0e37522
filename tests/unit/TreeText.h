// A compact text form of an element tree for expectations in tests:
// name{attr=value;...}(child child ...), braces and parentheses only when not empty.
#pragma once

#include <string>

#include "xml/TextDecoding.h"
#include "xml/xmlElement.h"

inline std::string TreeText(const xmlElement& e) {
    std::string out = EncodeUtf8(e.GetName());
    if (e.GetAttributeCount() > 0) {
        out += '{';
        for (std::size_t i = 0; i < e.GetAttributeCount(); ++i) {
            out += (i ? ";" : "") + EncodeUtf8(e.GetAttributeName(i)) + "=" +
                   EncodeUtf8(e.GetAttributeValue(i));
        }
        out += '}';
    }
    if (e.GetChildCount() > 0) {
        out += '(';
        for (std::size_t i = 0; i < e.GetChildCount(); ++i) {
            out += (i ? " " : "") + TreeText(*e.GetChild(i));
        }
        out += ')';
    }
    return out;
}
