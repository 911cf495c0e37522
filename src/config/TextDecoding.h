// Portable replacements for the platform's text handling, so that the reader
// produces the same text on Windows and Linux.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
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

// Bytes already read in text mode, decoded like DecodeConfigText up to the
// first NUL. With `byteOffsets`, it receives for each unit of the result the
// index of the byte its sequence starts at, and one more entry: where the
// decoding stopped.
std::wstring DecodeUtf8(std::string_view text, std::vector<std::size_t>* byteOffsets = nullptr);

// The bytes DecodeConfigText decodes: cut at the first 0x1A or NUL byte, every CR LF
// pair made LF. DecodeUtf8 of them equals DecodeConfigText(fileBytes). Writes them to `out`,
// which has room for fileBytes.size() bytes, and returns how many it wrote.
std::size_t ConfigTextBytesTo(std::string_view fileBytes, char* out);

// Whether a piece of text holds only ASCII.
template <typename Char> bool AsciiOnly(std::basic_string_view<Char> piece) {
    std::make_unsigned_t<Char> any = 0; // no early exit: the compiler vectorises this
    for (const Char c : piece) {
        any |= static_cast<std::make_unsigned_t<Char>>(c);
    }
    return any < 0x80;
}

// The first index in [from, end) that holds `ch`, or npos.
inline std::size_t FindIn(std::string_view text, char ch, std::size_t from, std::size_t end) {
    return text.substr(0, end).find(ch, from);
}

// The last index in [low, high] that holds `ch`, or npos.
inline std::size_t FindLastIn(std::string_view text, char ch, std::size_t low, std::size_t high) {
    for (std::size_t i = high + 1; i > low; --i) {
        if (text[i - 1] == ch) {
            return i - 1;
        }
    }
    return std::string_view::npos;
}

// The first index at or after `from` that holds a space or '>', or the text's size: where a
// tag name ends.
inline std::size_t TagNameEnd(std::string_view text, std::size_t from) {
    while (from < text.size() && text[from] != ' ' && text[from] != '>') {
        ++from;
    }
    return from;
}

// How many units DecodeUtf8 makes of `text`, which holds no NUL.
std::size_t DecodedLength(std::string_view text);

// Where bytes of UTF-8 text without NUL land in DecodeUtf8's result. Quick when asked in
// rising order: only non-ASCII bytes cost anything, each once.
class Utf8UnitIndex {
public:
    explicit Utf8UnitIndex(std::string_view text) : text_(text) { Restart(); }
    // The unit index of byte `b`, which starts a character (or is the text's end).
    std::size_t At(std::size_t b) {
        if (b < asked_ || b > next_) {
            return Reach(b);
        }
        asked_ = b;
        return b - delta_;
    }

private:
    void Restart();
    std::size_t Reach(std::size_t b);

    std::string_view text_;
    std::size_t asked_ = 0; // the last byte asked for
    std::size_t next_ = 0;  // the first non-ASCII byte not yet decoded
    std::size_t delta_ = 0; // bytes less units before it
};

// DecodeUtf8 of `text`, which holds no NUL, into `out`, which has room for text.size()
// units; returns how many it wrote.
std::size_t DecodeUtf8To(std::string_view text, wchar_t* out);

// Wide text to UTF-8; surrogate pairs are joined, a lone surrogate becomes U+FFFD.
std::string EncodeUtf8(std::wstring_view text);

// The C runtime's iswspace on Windows, independent of the host's locale.
inline bool IsWhiteSpace(wchar_t c) {
    const auto u = static_cast<std::uint32_t>(c);
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
