#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "xml/TextDecoding.h"
#include "xml/TextOffsets.h"

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

// Unicode's table of well-formed UTF-8 byte sequences, as byte ranges per position.
struct ByteRange {
    unsigned char low;
    unsigned char high;
};
const std::vector<std::vector<ByteRange>> kWellFormed = {
    {{0x00, 0x7F}},
    {{0xC2, 0xDF}, {0x80, 0xBF}},
    {{0xE0, 0xE0}, {0xA0, 0xBF}, {0x80, 0xBF}},
    {{0xE1, 0xEC}, {0x80, 0xBF}, {0x80, 0xBF}},
    {{0xED, 0xED}, {0x80, 0x9F}, {0x80, 0xBF}},
    {{0xEE, 0xEF}, {0x80, 0xBF}, {0x80, 0xBF}},
    {{0xF0, 0xF0}, {0x90, 0xBF}, {0x80, 0xBF}, {0x80, 0xBF}},
    {{0xF1, 0xF3}, {0x80, 0xBF}, {0x80, 0xBF}, {0x80, 0xBF}},
    {{0xF4, 0xF4}, {0x80, 0x8F}, {0x80, 0xBF}, {0x80, 0xBF}},
};

// The oracle: Unicode's "substitution of maximal subparts", straight from the table.
// Each maximal subpart of a broken sequence becomes one U+FFFD.
std::u32string DecodeByTheTable(const std::string& bytes) {
    std::u32string out;
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t longest = 1;
        bool complete = false;
        for (const auto& form : kWellFormed) {
            std::size_t n = 0;
            while (n < form.size() && i + n < bytes.size() &&
                   static_cast<unsigned char>(bytes[i + n]) >= form[n].low &&
                   static_cast<unsigned char>(bytes[i + n]) <= form[n].high) {
                ++n;
            }
            if (n > 0 && n >= longest) {
                longest = n;
                complete = n == form.size();
            }
        }
        if (!complete) {
            out.push_back(0xFFFD);
        } else {
            static constexpr unsigned char kLeadBits[] = {0x7F, 0x1F, 0x0F, 0x07};
            char32_t cp = static_cast<unsigned char>(bytes[i]) & kLeadBits[longest - 1];
            for (std::size_t k = 1; k < longest; ++k) {
                cp = (cp << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
            }
            out.push_back(cp);
        }
        i += longest;
    }
    return out;
}

std::wstring Wide(const std::u32string& text) {
    std::wstring out;
    for (const char32_t cp : text) {
        if (sizeof(wchar_t) == 2 && cp > 0xFFFF) {
            out.push_back(static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<wchar_t>(cp));
        }
    }
    return out;
}

// Broken sequences as Unicode recommends and Windows documents them. Wine merges
// some of them with the bytes after them (E2 41 gives one U+FFFD there, losing
// the "A"); the menu follows Windows.
TEST(DecodeConfigText, ReplacesEachMaximalBrokenSequence) {
    const std::wstring fffd = L"\uFFFD";
    const struct {
        const char* in;
        std::wstring out;
    } cases[] = {
        {"plain", L"plain"},
        {"\xC3\xA4\xE2\x82\xAC", L"\u00e4\u20ac"},
        {"\xE0\x80\x41", fffd + fffd + L"A"}, // overlong: E0 cannot go on with 80
        {"\xE2\x82", fffd},                   // cut off at the end: one subpart
        {"\xE2\x41", fffd + L"A"},            // an ASCII byte is always itself
        {"\xE2\x82\x41", fffd + L"A"},
        {"\xF0\x9F\x98\x41", fffd + L"A"},
        {"\xED\xA0\x80", fffd + fffd + fffd},            // a surrogate
        {"\xF4\x90\x80\x80", fffd + fffd + fffd + fffd}, // beyond U+10FFFF
        {"\xC0\xAF", fffd + fffd},
        {"\x80\x80", fffd + fffd},
        {"\xF5\x80", fffd + fffd},
        {"\xFF"
         "a",
         fffd + L"a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeConfigText(c.in), c.out) << c.in;
        EXPECT_EQ(DecodeConfigText(c.in), Wide(DecodeByTheTable(c.in))) << c.in;
    }
}

// Every input of two bytes, many of three, and four-byte inputs over the boundary bytes.
TEST(DecodeConfigText, AgreesWithTheTableOnEveryShortInput) {
    std::vector<std::string> inputs;
    for (int a = 1; a < 256; ++a) {
        for (int b = 1; b < 256; ++b) {
            inputs.push_back({static_cast<char>(a), static_cast<char>(b)});
            for (int c : {0x41, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xE2, 0xF4}) {
                inputs.push_back(
                    {static_cast<char>(a), static_cast<char>(b), static_cast<char>(c)});
            }
        }
    }
    const unsigned char kBoundary[] = {0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC1, 0xC2,
                                       0xDF, 0xE0, 0xEC, 0xED, 0xEF, 0xF0, 0xF3, 0xF4, 0xF5};
    for (unsigned char a : kBoundary) {
        for (unsigned char b : kBoundary) {
            for (unsigned char c : kBoundary) {
                for (unsigned char d : kBoundary) {
                    inputs.push_back({static_cast<char>(a), static_cast<char>(b),
                                      static_cast<char>(c), static_cast<char>(d)});
                }
            }
        }
    }
    for (const std::string& in : inputs) {
        if (in.find_first_of("\r\x1A") != std::string::npos) {
            continue; // the text-mode read is tested on its own
        }
        ASSERT_EQ(DecodeConfigText(in), Wide(DecodeByTheTable(in)))
            << std::hex << static_cast<int>(static_cast<unsigned char>(in[0])) << ' '
            << static_cast<int>(static_cast<unsigned char>(in[1]));
        ASSERT_EQ(DecodeUtf8(in), DecodeConfigText(in));
    }
}

TEST(DecodeUtf8, GivesTheByteWhereEachUnitStarts) {
    std::vector<std::size_t> offsets;
    const std::wstring text = DecodeUtf8("a\xC3\xA4\xE2\x41\xF0\x9F\x98\x80<", &offsets);
    std::vector<std::size_t> expected = {0, 1, 3, 4, 5};
    if (sizeof(wchar_t) == 2) {
        expected.push_back(5); // both units of the surrogate pair start at its lead byte
    }
    expected.insert(expected.end(), {9, 10});
    EXPECT_EQ(offsets, expected);
    EXPECT_EQ(text.back(), L'<');
    DecodeUtf8(std::string("ab\0c", 4), &offsets);
    EXPECT_EQ(offsets, (std::vector<std::size_t>{0, 1, 2}));
}

// The file byte of every unit, against the text-mode read mapped back and DecodeUtf8's
// offsets, on random short files of line ends, stops and broken and whole sequences.
TEST(ConfigTextByteOffsets, FindsTheFileByteOfEveryUnit) {
    const std::string alphabet("a\r\n\x1A\0\xE2\x82\xAC\xC3\xF0\x9F\x98\x80", 13);
    std::mt19937 random(7);
    for (int round = 0; round < 3000; ++round) {
        std::string file;
        for (std::size_t n = random() % 12; n > 0; --n) {
            file.push_back(alphabet[random() % alphabet.size()]);
        }
        std::string read;
        std::vector<std::size_t> fromFile;
        std::size_t i = 0;
        for (; i < file.size() && file[i] != '\x1A'; ++i) {
            fromFile.push_back(i);
            i += file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n' ? 1 : 0;
            read.push_back(file[i]);
        }
        fromFile.push_back(i);
        std::vector<std::size_t> expected;
        DecodeUtf8(read, &expected);
        for (std::size_t& at : expected) {
            at = fromFile[at];
        }
        expected.push_back(std::string_view::npos); // one past the text's end
        std::vector<std::size_t> units(expected.size());
        std::iota(units.begin(), units.end(), 0);
        ConfigTextByteOffsets(file, units);
        EXPECT_EQ(units, expected) << testing::PrintToString(file);
    }
}

// Decoding sees the bytes after the text-mode read: CR LF counts as one LF.
TEST(DecodeConfigText, DecodesWhatTheTextModeReadDelivers) {
    const std::wstring fffd = L"\uFFFD";
    EXPECT_EQ(DecodeConfigText("\xE2\r\n"), fffd + L"\n");
    EXPECT_EQ(DecodeConfigText("\xE2\r\nab"), fffd + L"\nab");
    EXPECT_EQ(DecodeConfigText("\xE2\x82\r\nx"), fffd + L"\nx");
    EXPECT_EQ(DecodeConfigText("\xE2\x82\x1A\xAC"), fffd);
    EXPECT_EQ(DecodeConfigText("\xC3\r"), fffd + L"\r");
    for (const char* in : {"\xE2\r\r\n\x82", "a\r\r\n\xC3\r\n\xA4", "\xF0\x9F\r\n\x1A\n"}) {
        EXPECT_EQ(DecodeConfigText(in), DecodeUtf8(ReadTextMode(in))) << in;
    }
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

// A caption that shows nothing leaves a screen reader the tooltip to say.
TEST(WhiteSpace, TextOfSpacesAndZeroWidthCharactersShowsNothing) {
    for (const wchar_t* text : {L"", L"\u200b", L" \u200c\u200d\u2060\ufeff\u00a0"}) {
        EXPECT_TRUE(ShowsNothing(text));
    }
    for (const wchar_t* text : {L"x", L"\u200b.", L"\u200a\u200e", L"\u2061"}) {
        EXPECT_FALSE(ShowsNothing(text));
    }
}

} // namespace
