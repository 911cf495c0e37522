#include <gtest/gtest.h>

#include <string>

#include "config/TextDecoding.h"

namespace {

TEST(DecodeConfigText, ReadsLikeTextModeTurningCrLfIntoLfAndStoppingAtCtrlZ) {
    const struct {
        std::string in;
        std::wstring out;
    } cases[] = {
        {"a\r\nb", L"a\nb"},
        {"a\rb", L"a\rb"},
        {"a\r\r\nb", L"a\r\nb"},
        {"a\n\rb", L"a\n\rb"},
        {"end\r", L"end\r"},
        {"a\x1A\r\nb", L"a"},
        {"", L""},
        {"\x1A", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeConfigText(c.in), c.out) << c.in;
    }
}

// The replacements the system conversion makes (measured under Wine).
TEST(DecodeConfigText, ReplacesInvalidUtf8LikeTheSystem) {
    const std::wstring fffd = L"\uFFFD";
    const struct {
        const char* in;
        std::wstring out;
    } cases[] = {
        {"plain", L"plain"},
        {"\xC3\xA4\xE2\x82\xAC", L"ä€"},
        {"\xE0\x80\x41", fffd + L"A"},            // overlong: lead and first trail together
        {"\xE2\x82", fffd},                       // truncated at the end
        {"\xE2\x41", fffd},                       // truncated: the rest is consumed
        {"\xE2\x82\x41", fffd + L"A"},            // bad last trail byte is not consumed
        {"\xED\xA0\x80", fffd + fffd},            // surrogate
        {"\xF4\x90\x80\x80", fffd + fffd + fffd}, // beyond U+10FFFF
        {"\xC0\xAF", fffd + fffd},
        {"\x80\x80", fffd + fffd},
        {"\xF5\x80", fffd + fffd},
        {"\xFF"
         "a",
         fffd + L"a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeConfigText(c.in), c.out) << c.in;
    }
}

// Decoding sees the bytes after the text-mode read: CR LF counts as one byte
// when deciding whether a sequence is cut off by the end of the text.
TEST(DecodeConfigText, DecodesWhatTheTextModeReadDelivers) {
    const std::wstring fffd = L"\uFFFD";
    EXPECT_EQ(DecodeConfigText("\xE2\r\n"), fffd); // E2 LF: cut off, LF consumed
    EXPECT_EQ(DecodeConfigText("\xE2\r\nab"), fffd + L"\nab");
    EXPECT_EQ(DecodeConfigText("\xE2\x82\r\n"), fffd + L"\n"); // E2 82 LF: not cut off
    EXPECT_EQ(DecodeConfigText("\xE2\x82\r\nx"), fffd + L"\nx");
    EXPECT_EQ(DecodeConfigText("\xE2\x82\x1A\xAC"), fffd);
    EXPECT_EQ(DecodeConfigText("\xC3\r"), fffd + L"\r");
}

TEST(DecodeConfigText, EndsAtTheFirstNul) {
    EXPECT_EQ(DecodeConfigText(std::string("ab\0cd", 5)), L"ab");
    EXPECT_EQ(DecodeConfigText(std::string("\xE2\x82\0x", 4)), L"\uFFFD");
}

TEST(DecodeConfigText, CharactersBeyondTheBasicPlaneRoundTrip) {
    const std::string emoji = "\xF0\x9F\x98\x80";
    const std::wstring wide = DecodeConfigText(emoji);
    EXPECT_EQ(wide.size(), sizeof(wchar_t) == 2 ? 2u : 1u);
    EXPECT_EQ(EncodeUtf8(wide), emoji);
}

TEST(EncodeUtf8, LoneSurrogatesBecomeReplacementCharacters) {
    EXPECT_EQ(EncodeUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(EncodeUtf8(L"A\u00e9\u20ac"), "A\xC3\xA9\xE2\x82\xAC");
}

TEST(WhiteSpace, ClassifiesLikeTheWindowsRuntime) {
    for (wchar_t c : {L'\t', L'\n', L'\v', L'\f', L'\r', L' ', L'\u00a0', L'\u2000', L'\u3000'}) {
        EXPECT_TRUE(IsWhiteSpace(c)) << static_cast<int>(c);
    }
    for (wchar_t c : {L'a', L'\0', L'\u0085', L'\u200b', L'\ufeff', L'\u001c'}) {
        EXPECT_FALSE(IsWhiteSpace(c)) << static_cast<int>(c);
    }
    EXPECT_EQ(TrimWhiteSpace(L"\u00a0 \t x y \r\n"), L"x y");
    EXPECT_EQ(TrimWhiteSpace(L"   "), L"");
}

} // namespace
