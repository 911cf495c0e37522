// The reader against the literal rules on generated texts full of the
// dialect's quirks: same tree, or an error from both.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TreeText.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"
#include "xmlOracle.h"

namespace {

const std::vector<std::wstring> kTokens = {
    L"<",
    L">",
    L"/>",
    L" ",
    L"  ",
    L"=",
    L"\"",
    L"\\\"",
    L"?",
    L"<?xml v=\"1\"?>",
    L"<a",
    L"<b ",
    L"<a>",
    L"</a>",
    L"<b>",
    L"</b>",
    L"</",
    L"<a/>",
    L"<b />",
    L"<!-- c -->",
    L"x",
    L"y",
    L"\n",
    L"\t",
    L" k=\"v\"",
    L" K = \"w x\" ",
    L" q=\"\\\"z\\\"\"",
    L"&amp;",
    L"\u00e9",
    L"\u00a0",
    L"<r>",
    L"</r>",
    L"r",
    L"/",
    L"a=",
    L"\"\"",
    L"<r x=\"1\">",
    L"<a><b></b></a>",
    L"\\",
};

std::wstring RandomSoup(std::mt19937& rng) {
    std::uniform_int_distribution<std::size_t> count(0, 40);
    std::uniform_int_distribution<std::size_t> pick(0, kTokens.size() - 1);
    std::wstring text;
    for (std::size_t n = count(rng); n > 0; --n) {
        text += kTokens[pick(rng)];
    }
    return text;
}

// A mostly well-formed menu-like document, then a few random insertions and deletions.
std::wstring RandomDocument(std::mt19937& rng) {
    std::uniform_int_distribution<int> die(0, 99);
    std::wstring text = die(rng) < 50 ? L"<?xml version=\"1.0\"?>\n" : L"";
    std::vector<std::wstring> open;
    text += L"<config>";
    open.push_back(L"config");
    const wchar_t* names[] = {L"General", L"Pages", L"Button", L"Command", L"Font"};
    const wchar_t* spaces[] = {L"", L"\n", L"\n  ", L" ", L"\t"};
    for (int steps = die(rng) % 30; steps > 0; --steps) {
        text += spaces[die(rng) % 5];
        const int what = die(rng);
        if (what < 35 && open.size() > 1) {
            text += L"</" + open.back() + L">";
            open.pop_back();
            continue;
        }
        const std::wstring name = names[die(rng) % 5];
        text += L"<" + name;
        for (int a = die(rng) % 3; a > 0; --a) {
            text += die(rng) < 50 ? L" type=\"weiter\"" : L" Caption = \"A \\\"B\\\" C\"";
        }
        if (what < 65) {
            text += die(rng) < 50 ? L"/>" : L" />";
        } else {
            text += L">";
            open.push_back(name);
        }
    }
    while (!open.empty()) {
        text += L"</" + open.back() + L">";
        open.pop_back();
    }
    std::uniform_int_distribution<std::size_t> token(0, kTokens.size() - 1);
    for (int m = die(rng) % 4; m > 0; --m) {
        std::uniform_int_distribution<std::size_t> at(0, text.size());
        if (die(rng) < 60) {
            text.insert(at(rng), kTokens[token(rng)]);
        } else if (!text.empty()) {
            text.erase(std::min(at(rng), text.size() - 1), 1);
        }
    }
    return text;
}

std::string Run(std::unique_ptr<xmlTree> (*parse)(std::wstring_view), std::wstring_view text) {
    try {
        return TreeText(parse(text)->Root());
    } catch (const xmlError&) {
        return "<error>";
    } catch (const std::invalid_argument&) { // the literal transcription's refusal
        return "<error>";
    }
}

void CompareOn(std::wstring (*generate)(std::mt19937&), unsigned seed, int count) {
    std::mt19937 rng(seed);
    int errors = 0;
    for (int i = 0; i < count; ++i) {
        const std::wstring text = generate(rng);
        const std::string read = Run(ParseXmlText, text);
        ASSERT_EQ(read, Run(OracleParse, text)) << "input: " << EncodeUtf8(text);
        errors += read == "<error>";
    }
    // Both outcomes must be well represented, or the generator has gone blind.
    EXPECT_GT(errors, count / 20);
    EXPECT_LT(errors, count - count / 20);
}

TEST(ReaderProperty, TokenSoupMatchesTheLiteralRules) {
    CompareOn(RandomSoup, 20261207, 3000);
}

TEST(ReaderProperty, MutatedDocumentsMatchTheLiteralRules) {
    CompareOn(RandomDocument, 7, 3000);
}

} // namespace
