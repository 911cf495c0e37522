#include <gtest/gtest.h>

#include "config/ValueConversions.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

namespace {

TEST(TextToInt, ScansLikePercentD) {
    const struct {
        const wchar_t* in;
        std::int32_t out;
    } cases[] = {
        {L"", 0},
        {L"16", 16},
        {L"-5", -5},
        {L"42px", 42},
        {L" -7", -7},
        {L"+3", 3},
        {L"abc", 0},
        {L" ", 0},
        {L"-", 0},
        {L"\t\n12", 12},
        {L"1 2", 1},
        {L"2147483647", 2147483647},
        {L"2147483648", 2147483647},
        {L"-2147483648", -2147483647 - 1},
        {L"-99999999999999999999", -2147483647 - 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextToInt(c.in), c.out) << '"' << EncodeUtf8(c.in) << '"';
    }
}

TEST(ExitCodeFromText, ReadsDecimalThirtyTwoBitCodesOnly) {
    const struct {
        const wchar_t* in;
        std::optional<std::uint32_t> out;
    } cases[] = {
        {L"0", 0u},
        {L"3010", 3010u},
        {L"+7", 7u},
        {L"4294967295", 0xFFFFFFFFu},
        {L"-1", 0xFFFFFFFFu},
        {L"-2147483648", 0x80000000u},
        {L"2147483648", 0x80000000u},
        {L"00000000000000000000001", 1u},
        {L"4294967296", std::nullopt},
        {L"-2147483649", std::nullopt},
        {L"99999999999999999999999", std::nullopt},
        {L"", std::nullopt},
        {L"-", std::nullopt},
        {L"0x80070005", std::nullopt},
        {L"6px", std::nullopt},
        {L"1 2", std::nullopt},
        {L"--1", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExitCodeFromText(c.in), c.out) << '"' << EncodeUtf8(c.in) << '"';
    }
}

ColorRef Color(const wchar_t* value) {
    const auto tree = ParseXmlText(std::wstring(L"<c color=\"") + value + L"\"/>");
    return ReadColor(&tree->Root(), L"COLOR");
}

TEST(ReadColor, ReadsThreeSpaceSeparatedNumbers) {
    const struct {
        const wchar_t* in;
        ColorRef out;
    } cases[] = {
        {L"255 0 0", 0x0000FF},   {L"  0   128 255 ", 0xFF8000},
        {L"255,0,0", 0},          {L"", 0},
        {L"255 128", 0x0000FF},   {L"300 -1 256", 0x00FF2C},
        {L"10\t20 30", 0x00000A}, {L"10 20 30 40", 0x1E140A},
        {L"1 2 3", 0x030201},     {L"\n1 2 3\t", 0x030201},
        {L"x 2 3", 0x030200},     {L"99999999999 0 0", 0x0000FF},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Color(c.in), c.out) << '"' << EncodeUtf8(c.in) << '"';
    }
    const auto tree = ParseXmlText(L"<c/>");
    EXPECT_EQ(ReadColor(&tree->Root(), L"color"), 0u);
    EXPECT_EQ(ReadColor(nullptr, L"color"), 0u);
}

TEST(OnOff, OnlyExactTrueIsOn) {
    EXPECT_TRUE(IsOn(L"true"));
    for (const wchar_t* off : {L"TRUE", L"True", L"1", L" true", L"true ", L"", L"yes"}) {
        EXPECT_FALSE(IsOn(off)) << EncodeUtf8(off);
    }
}

FontSpec Font(const wchar_t* attributes) {
    const auto tree = ParseXmlText(std::wstring(L"<Font ") + attributes + L"/>");
    return ReadFontSpec(&tree->Root());
}

TEST(ReadFontSpec, DerivesFaceWeightAndStyleFromPlainSearches) {
    EXPECT_EQ(Font(L"font=\"Arial Bold Italic\" fontsize=\"16\""),
              (FontSpec{L"Arial", 16, kFontWeightBold, true, false}));
    EXPECT_EQ(Font(L"font=\"Verdana\""),
              (FontSpec{L"Verdana", 0, kFontWeightNormal, false, false}));
    EXPECT_EQ(Font(L"font=\"Boldface\""), (FontSpec{L"Boldface", 0, 1020, false, false}));
    EXPECT_EQ(Font(L"font=\"Arial bold\""), (FontSpec{L"Arial", 0, 500, false, false}));
    EXPECT_EQ(Font(L"font=\"Times New Roman Underline\" fontsize=\"-12\""),
              (FontSpec{L"Times", -12, 500, false, true}));
    EXPECT_EQ(Font(L"FontSize=\"9\""), (FontSpec{L"", 9, 500, false, false}));
    EXPECT_EQ(ReadFontSpec(nullptr), (FontSpec{L"", 0, 500, false, false}));
}

} // namespace
