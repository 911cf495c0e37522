#include "config/TextDecoding.h"

#include <cstdint>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Number of continuation bytes a lead byte announces; 0 for bytes that cannot
// start a sequence (continuation bytes, C0, C1, F5 to FF).
unsigned TrailCount(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 1;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 2;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 3;
    }
    return 0;
}

// The bytes a text-mode read delivers from raw[i, end): raw bytes less one per CR LF pair.
// Only asked near the end, where the count can be smaller than a sequence's length.
std::size_t TextModeBytesLeft(std::string_view raw, std::size_t i) {
    std::size_t n = 0;
    for (; i < raw.size(); ++i, ++n) {
        if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') {
            ++i;
        }
    }
    return n;
}

// Decodes the sequence whose lead byte is at raw[i-1]; i points after the lead
// and is advanced over the bytes the sequence consumes. Returns the code point,
// or kReplacement for an invalid sequence. Like the system conversion, a
// sequence that runs past the end consumes the rest of the input, and a
// continuation byte that is out of range for its position is consumed with the
// invalid sequence when it follows a valid prefix. CR and LF are never
// continuation bytes, so a CR LF pair ends a sequence just as the LF that a
// text-mode read makes of it would.
char32_t DecodeSequence(std::string_view raw, unsigned char lead, std::size_t& i) {
    const unsigned trail = TrailCount(lead);
    if (trail == 0) {
        return kReplacement;
    }
    if (raw.size() - i < 2 * trail && TextModeBytesLeft(raw, i) < trail) {
        i = raw.size();
        return kReplacement;
    }
    static constexpr unsigned char kLeadMask[4] = {0x7F, 0x1F, 0x0F, 0x07};
    char32_t cp = lead & kLeadMask[trail];
    auto next = [&](char32_t& c) {
        const unsigned v = static_cast<unsigned char>(raw[i]) ^ 0x80u;
        if (v >= 0x40) {
            return false;
        }
        c = (c << 6) | v;
        return true;
    };
    if (trail == 3) {
        if (!next(cp)) {
            return kReplacement;
        }
        ++i;
        if (cp < 0x10) {
            return kReplacement;
        }
    }
    if (trail >= 2) {
        if (!next(cp)) {
            return kReplacement;
        }
        if (cp >= (0x110000 >> 6)) {
            return kReplacement;
        }
        ++i;
        if (cp < 0x20 || (cp >= (0xD800 >> 6) && cp <= (0xDFFF >> 6))) {
            return kReplacement;
        }
    }
    if (!next(cp)) {
        return kReplacement;
    }
    ++i;
    return cp < 0x80 ? kReplacement : cp;
}

} // namespace

std::string ReadTextMode(std::string_view raw) {
    std::string out;
    out.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size() && raw[i] != '\x1A'; ++i) {
        if (raw[i] != '\r' || i + 1 == raw.size() || raw[i + 1] != '\n') {
            out.push_back(raw[i]);
        }
    }
    return out;
}

std::string WriteTextMode(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n') {
            out.push_back('\r');
        }
        out.push_back(c);
    }
    return out;
}

std::wstring DecodeConfigText(std::string_view fileBytes) {
    const std::string_view raw = fileBytes.substr(0, fileBytes.find('\x1A'));
    std::wstring out(raw.size(), L'\0');
    std::size_t n = 0;
    std::size_t i = 0;
    while (i < raw.size()) {
        const auto c = static_cast<unsigned char>(raw[i++]);
        if (c >= 0x80) {
            const char32_t cp = DecodeSequence(raw, c, i);
            if constexpr (sizeof(wchar_t) == 2) {
                if (cp > 0xFFFF) {
                    // Four bytes became two units: there is room, as every sequence is longer.
                    out[n++] = static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
                    out[n++] = static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
                    continue;
                }
            }
            out[n++] = static_cast<wchar_t>(cp);
        } else if (c == '\r' && i < raw.size() && raw[i] == '\n') {
            continue;
        } else if (c == 0) {
            break;
        } else {
            out[n++] = static_cast<wchar_t>(c);
        }
    }
    out.resize(n);
    return out;
}

std::string EncodeUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto cp = static_cast<char32_t>(text[i]);
        if constexpr (sizeof(wchar_t) == 2) {
            if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                text[i + 1] <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
            }
        }
        if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
            cp = kReplacement;
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

bool IsWhiteSpace(wchar_t c) {
    const auto u = static_cast<std::uint32_t>(c);
    return (u >= 0x09 && u <= 0x0D) || u == 0x20 || u == 0xA0 || u == 0x1680 ||
           (u >= 0x2000 && u <= 0x200A) || u == 0x2028 || u == 0x2029 || u == 0x202F ||
           u == 0x205F || u == 0x3000;
}

std::wstring_view TrimWhiteSpace(std::wstring_view text) {
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && IsWhiteSpace(text[b])) {
        ++b;
    }
    while (e > b && IsWhiteSpace(text[e - 1])) {
        --e;
    }
    return text.substr(b, e - b);
}
