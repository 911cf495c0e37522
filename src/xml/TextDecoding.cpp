#include "xml/TextDecoding.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes the sequence whose lead byte is at raw[i-1]; i points after the lead
// and is advanced over the bytes the sequence consumes. Returns the code point,
// or kReplacement for a broken sequence. As Unicode recommends and Windows
// does, a broken sequence consumes only its maximal subpart (the longest start
// of a well-formed sequence, at least the lead), so the next byte starts
// afresh and an ASCII byte always decodes as itself. CR and LF are never
// continuation bytes, so a CR LF pair ends a sequence just as the LF that a
// text-mode read makes of it would.
char32_t DecodeSequence(std::string_view raw, unsigned char lead, std::size_t& i) {
    unsigned trail = 0;
    unsigned char low = 0x80; // the second byte's range depends on the lead
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        trail = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trail = 2;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trail = 3;
        low = lead == 0xF0 ? 0x90 : 0x80;  // no overlong forms
        high = lead == 0xF4 ? 0x8F : 0xBF; // nothing beyond U+10FFFF
    } else {
        return kReplacement;
    }
    static constexpr unsigned char kLeadMask[4] = {0x7F, 0x1F, 0x0F, 0x07};
    char32_t cp = lead & kLeadMask[trail];
    for (unsigned n = 0; n < trail; ++n, low = 0x80, high = 0xBF) {
        if (i == raw.size()) {
            return kReplacement;
        }
        const auto c = static_cast<unsigned char>(raw[i]);
        if (c < low || c > high) {
            return kReplacement;
        }
        cp = (cp << 6) | (c & 0x3Fu);
        ++i;
    }
    return cp;
}

// Appends one decoded code point as one or two UTF-16 units (one wchar_t where it has 32 bits).
template <typename Out> void Append(Out& out, std::size_t& n, char32_t cp) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp > 0xFFFF) {
            // Four bytes became two units: there is room, as every such sequence is longer.
            out[n++] = static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10));
            out[n++] = static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
            return;
        }
    }
    out[n++] = static_cast<wchar_t>(cp);
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

std::size_t DecodeConfigTextTo(std::string_view fileBytes, wchar_t* out) {
    const std::string_view raw = fileBytes.substr(0, fileBytes.find('\x1A'));
    std::size_t n = 0;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        const auto c = static_cast<unsigned char>(raw[i]);
        if (c > '\r' && c < 0x80) {
            out[n++] = static_cast<wchar_t>(c); // most bytes: one test
        } else if (c >= 0x80) {
            std::size_t next = i + 1;
            Append(out, n, DecodeSequence(raw, c, next));
            i = next - 1;
        } else if (c == 0) {
            break;
        } else if (c != '\r' || i + 1 == raw.size() || raw[i + 1] != '\n') {
            out[n++] = static_cast<wchar_t>(c);
        }
    }
    return n;
}

std::wstring DecodeConfigText(std::string_view fileBytes) {
    std::wstring out(fileBytes.size(), L'\0');
    out.resize(DecodeConfigTextTo(fileBytes, out.data()));
    return out;
}

std::wstring DecodeUtf8(std::string_view text, std::vector<std::size_t>* byteOffsets) {
    std::wstring out(text.size(), L'\0');
    if (byteOffsets != nullptr) {
        byteOffsets->assign(text.size() + 1, 0);
    }
    std::size_t n = 0;
    std::size_t i = 0;
    while (i < text.size() && text[i] != '\0') {
        const std::size_t at = i;
        const std::size_t first = n;
        const auto c = static_cast<unsigned char>(text[i++]);
        if (c >= 0x80) {
            Append(out, n, DecodeSequence(text, c, i));
        } else {
            out[n++] = static_cast<wchar_t>(c);
        }
        if (byteOffsets != nullptr) {
            for (std::size_t u = first; u < n; ++u) {
                (*byteOffsets)[u] = at;
            }
        }
    }
    out.resize(n);
    if (byteOffsets != nullptr) {
        (*byteOffsets)[n] = i;
        byteOffsets->resize(n + 1);
    }
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
