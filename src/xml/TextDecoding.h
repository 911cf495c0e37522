// Portable replacements for the platform's text handling, so that the reader
// produces the same text on Windows and Linux.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The bytes a C runtime text-mode read delivers: every CR LF pair becomes LF,
// and the read ends at the first 0x1A byte.
std::string ReadTextMode(std::string_view raw);

// The bytes a C runtime text-mode write puts on disk: every LF becomes CR LF.
std::string WriteTextMode(std::string_view text);

// The text of a configuration file's bytes: what the C runtime's text-mode
// read delivers (every CR LF pair becomes LF, the read ends at the first 0x1A
// byte), decoded from UTF-8 as Windows documents it (each maximal broken
// sequence becomes one U+FFFD, and the next byte starts afresh), up to the
// first NUL character. Characters beyond U+FFFF are a surrogate pair where
// wchar_t has 16 bits. Equals DecodeUtf8(ReadTextMode(fileBytes)).
std::wstring DecodeConfigText(std::string_view fileBytes);

// DecodeConfigText into `out`, which has room for fileBytes.size() units; returns how many it
// wrote.
std::size_t DecodeConfigTextTo(std::string_view fileBytes, wchar_t* out);

// Bytes already read in text mode, decoded like DecodeConfigText up to the
// first NUL. With `byteOffsets`, it receives for each unit of the result the
// index of the byte its sequence starts at, and one more entry: where the
// decoding stopped.
std::wstring DecodeUtf8(std::string_view text, std::vector<std::size_t>* byteOffsets = nullptr);

// Wide text to UTF-8; surrogate pairs are joined, a lone surrogate becomes U+FFFD.
std::string EncodeUtf8(std::wstring_view text);

// The C runtime's iswspace on Windows, independent of the host's locale.
inline bool IsWhiteSpace(wchar_t c) {
    const auto u = static_cast<std::uint32_t>(c);
    if (u > 0x20 && u < 0x80) {
        return false; // most characters: one test
    }
    if (u < 0x80) {
        return (u >= 0x09 && u <= 0x0D) || u == 0x20;
    }
    return u == 0xA0 || u == 0x1680 || (u >= 0x2000 && u <= 0x200A) || u == 0x2028 || u == 0x2029 ||
           u == 0x202F || u == 0x205F || u == 0x3000;
}

// Text with IsWhiteSpace characters removed at both ends.
inline std::wstring_view TrimWhiteSpace(std::wstring_view text) {
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

// Whether text shows nothing when drawn: white space and zero-width characters only.
inline bool ShowsNothing(std::wstring_view text) {
    for (const wchar_t c : text) {
        if (!IsWhiteSpace(c) && (c < 0x200B || c > 0x200D) && c != 0x2060 && c != 0xFEFF) {
            return false;
        }
    }
    return true;
}
