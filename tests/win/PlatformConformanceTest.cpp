// The portable text code against the Windows services it stands in for.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <random>
#include <string>

#include "config/ValueConversions.h"
#include "xml/TextDecoding.h"

namespace {

std::wstring SystemDecode(const std::string& bytes) {
    if (bytes.empty()) {
        return {};
    }
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out.substr(0, out.find(L'\0'));
}

// Bytes that a text-mode read leaves alone: the UTF-8 tests compare the conversion only.
bool TextModeNeutral(const std::string& bytes) {
    return bytes.find_first_of("\r\x1A") == std::string::npos;
}

// Well-formed input decodes as the system decodes it. Broken input follows the
// practice Unicode recommends and Windows documents (each maximal broken
// sequence one U+FFFD, the next byte afresh); Wine's conversion differs there
// (it merges a cut-off sequence with the ASCII bytes after it), so for broken
// input this only checks what both must keep: every ASCII byte decodes as itself.
void ExpectDecodesLikeWindows(const std::string& bytes, const std::wstring& ours) {
    const std::wstring system = SystemDecode(bytes);
    if (system.find(L'\uFFFD') == std::wstring::npos) {
        ASSERT_EQ(ours, system);
        return;
    }
    std::wstring asciiIn;
    for (const char c : bytes.substr(0, bytes.find('\0'))) {
        if (static_cast<unsigned char>(c) < 0x80) {
            asciiIn.push_back(static_cast<wchar_t>(c));
        }
    }
    std::wstring asciiOut;
    for (const wchar_t c : ours) {
        if (c < 0x80) {
            asciiOut.push_back(c);
        }
    }
    ASSERT_EQ(asciiOut, asciiIn);
}

TEST(Utf8, AllOneAndTwoByteInputsDecodeLikeWindows) {
    for (int a = 0; a < 256; ++a) {
        const std::string one(1, static_cast<char>(a));
        if (!TextModeNeutral(one)) {
            continue;
        }
        ExpectDecodesLikeWindows(one, DecodeConfigText(one));
        for (int b = 0; b < 256; ++b) {
            const std::string two{static_cast<char>(a), static_cast<char>(b)};
            if (!TextModeNeutral(two)) {
                continue;
            }
            ASSERT_NO_FATAL_FAILURE(ExpectDecodesLikeWindows(two, DecodeConfigText(two)))
                << a << ' ' << b;
        }
    }
}

TEST(Utf8, FourByteInputsOverTheBoundaryBytesDecodeLikeWindows) {
    const unsigned char kBytes[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF,
                                    0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xE1, 0xEC, 0xED, 0xEE,
                                    0xEF, 0xF0, 0xF1, 0xF3, 0xF4, 0xF5, 0xFF};
    std::string s(4, '\0');
    for (unsigned char a : kBytes) {
        for (unsigned char b : kBytes) {
            for (unsigned char c : kBytes) {
                for (unsigned char d : kBytes) {
                    s[0] = static_cast<char>(a);
                    s[1] = static_cast<char>(b);
                    s[2] = static_cast<char>(c);
                    s[3] = static_cast<char>(d);
                    ASSERT_NO_FATAL_FAILURE(ExpectDecodesLikeWindows(s, DecodeConfigText(s)))
                        << int(a) << ' ' << int(b) << ' ' << int(c) << ' ' << int(d);
                }
            }
        }
    }
}

TEST(Utf8, EveryCodePointDecodesLikeTheSystem) {
    for (char32_t cp = 1; cp <= 0x10FFFF; cp += (cp < 0x20000 ? 1 : 97)) {
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            continue;
        }
        std::wstring wide;
        if (cp > 0xFFFF) {
            wide = {static_cast<wchar_t>(0xD800 + ((cp - 0x10000) >> 10)),
                    static_cast<wchar_t>(0xDC00 + ((cp - 0x10000) & 0x3FF))};
        } else {
            wide = std::wstring(1, static_cast<wchar_t>(cp));
        }
        const std::string utf8 = EncodeUtf8(wide);
        if (!TextModeNeutral(utf8)) {
            continue;
        }
        ASSERT_EQ(DecodeConfigText(utf8), SystemDecode(utf8)) << static_cast<unsigned>(cp);
        ASSERT_EQ(DecodeConfigText(utf8), wide) << static_cast<unsigned>(cp);
    }
}

TEST(WhiteSpace, MatchesTheRuntimesIswspaceForTheWholeBasicPlane) {
    for (unsigned c = 0; c <= 0xFFFF; ++c) {
        ASSERT_EQ(IsWhiteSpace(static_cast<wchar_t>(c)), iswspace(static_cast<wint_t>(c)) != 0)
            << std::hex << c;
    }
}

// A file read in text mode by the C runtime and then converted: CR LF, Ctrl-Z,
// NUL and broken sequences together, as the menu's reader meets them.
TEST(ConfigText, MatchesATextModeReadFollowedByTheConversion) {
    const auto path = std::filesystem::temp_directory_path() / L"navora-textmode.bin";
    std::mt19937 rng(42);
    const char kAlphabet[] = {'a', '\r', '\n', '\x1A', '\0', '<', '\xE2', '\x82', '\xAC', '\xC3'};
    for (int round = 0; round < 3000; ++round) {
        std::string bytes(rng() % 24, 'a');
        for (char& c : bytes) {
            c = kAlphabet[rng() % sizeof kAlphabet];
        }
        FILE* out = _wfopen(path.c_str(), L"wb");
        ASSERT_NE(out, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
        FILE* in = _wfopen(path.c_str(), L"rt");
        ASSERT_NE(in, nullptr);
        std::string read(64, '\0');
        read.resize(std::fread(read.data(), 1, read.size(), in));
        std::fclose(in);
        ASSERT_EQ(DecodeConfigText(bytes), DecodeUtf8(read)) << round;
        ASSERT_NO_FATAL_FAILURE(ExpectDecodesLikeWindows(read, DecodeUtf8(read))) << round;
    }
    std::filesystem::remove(path);
}

TEST(TextToInt, AgreesWithSwscanfWithinRange) {
    const wchar_t kAlphabet[] = {L' ', L'\t', L'+', L'-', L'0', L'7', L'9', L'x', L'\u00a0'};
    std::mt19937 rng(3);
    for (int round = 0; round < 20000; ++round) {
        std::wstring text(rng() % 7, L' ');
        for (wchar_t& c : text) {
            c = kAlphabet[rng() % (sizeof kAlphabet / sizeof kAlphabet[0])];
        }
        int scanned = 0;
        if (swscanf(text.c_str(), L"%d", &scanned) != 1) {
            scanned = 0;
        }
        ASSERT_EQ(TextToInt(text), scanned) << EncodeUtf8(text);
    }
}

} // namespace
