// The check-state rewrite on generated menus full of the dialect's quirks: the
// new file always reads as the old one but for the states written, and the
// read-back guard never has to step in.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "WriteBackProperty.h"
#include "config/CheckState.h"

namespace {

const std::vector<std::string> kIds = {"a", "b", " a ", "a\\\"b", "\xC3\xBC"};
const std::vector<std::wstring> kWideIds = {L"a", L"a", L"b", L"", L"a\"b", L"\u00fc", L"zz"};

const std::vector<std::string> kPieces = {" currentval=\"x\"",
                                          " currentval = \"\"",
                                          " currentval=false",
                                          " CurrentVal=\"y\"",
                                          " currentvalue=\"z\"",
                                          " currentval\n=\t\"q\"",
                                          " tooltipp=\"see currentval=\\\"1\\\"\"",
                                          " id=\"a\"",
                                          " id\n=\"b\"",
                                          " width=\"100\"",
                                          "<L currentval=\"v\"/>",
                                          " currentval=\"w\" <e/>",
                                          "<config>",
                                          "</config>",
                                          "<Page>",
                                          "</Page>",
                                          "?",
                                          "<",
                                          ">",
                                          "/>",
                                          "\"",
                                          "=",
                                          "\r\n",
                                          "\n",
                                          "\x1A",
                                          "\xE2",
                                          "\xE2\x82",
                                          "\xEF\xBB\xBF",
                                          std::string(1, '\0'),
                                          " ",
                                          "\\"};

std::string Menu(std::mt19937& rng) {
    std::uniform_int_distribution<int> die(0, 99);
    std::string text = die(rng) < 30 ? "\xEF\xBB\xBF" : "";
    text += die(rng) < 40 ? "<?xml version=\"1.0\"?>\n" : "";
    text += "<config>\n <Pages>\n";
    for (int page = die(rng) % 3; page >= 0; --page) {
        const bool named = die(rng) < 20; // a page may be named "config"
        text += named ? "  <config>" : "  <Page>";
        for (int box = die(rng) % 4; box >= 0; --box) {
            text += "<Box";
            if (die(rng) < 85) {
                text += " id" + std::string(die(rng) < 20 ? "\n= " : "=") + "\"" +
                        kIds[die(rng) % kIds.size()] + "\"";
            }
            text += die(rng) < 20 ? kPieces[die(rng) % 6] + ">" : ">";
            const int layout = die(rng);
            text += "<ButtonLayout type=\"checkbox\"" +
                    (layout < 50 ? kPieces[0] : kPieces[layout % 7]) + "/></Box>\n";
        }
        text += named ? "</config>\n" : "</Page>\n";
    }
    text += " </Pages>\n</config>\n";
    for (int m = die(rng) % 4 - 1; m > 0; --m) {
        std::uniform_int_distribution<std::size_t> at(0, text.size());
        if (die(rng) < 60) {
            text.insert(at(rng), kPieces[die(rng) % kPieces.size()]);
        } else {
            text.erase(std::min(at(rng), text.size() - 1), 1 + die(rng) % 3);
        }
    }
    return text;
}

TEST(CheckStateProperty, RewrittenFilesReadAsBeforeButForTheStatesWritten) {
    std::mt19937 rng(20261207);
    std::uniform_int_distribution<int> die(0, 99);
    int rewritten = 0;
    const int kRounds = 4000;
    for (int round = 0; round < kRounds; ++round) {
        const std::string before = Menu(rng);
        std::vector<CheckStateWrite> states;
        for (int n = 1 + die(rng) % 3; n > 0; --n) {
            states.push_back({kWideIds[die(rng) % kWideIds.size()], die(rng) < 50});
        }
        // One rewrite after another, each keeping the promise; the read-back never steps in.
        std::string oneByOne = before;
        bool changed = false;
        for (const CheckStateWrite& state : states) {
            const auto planned = PlanCheckStates(oneByOne, {state});
            ASSERT_EQ(RewriteCheckState(oneByOne, state.id, state.checked), planned) << oneByOne;
            if (planned) {
                const std::string fault =
                    WriteBackFault(oneByOne, *planned, state.id, state.checked);
                ASSERT_EQ(fault, "") << "input: " << oneByOne;
                oneByOne = *planned;
                changed = true;
            }
        }
        // All states in one rewrite leave the same bytes.
        const auto together = RewriteCheckStates(before, states);
        ASSERT_EQ(together.has_value(), changed) << before;
        ASSERT_EQ(together.value_or(before), oneByOne) << before;
        rewritten += changed;
    }
    // The generator must give both outcomes, or it has gone blind.
    EXPECT_GT(rewritten, kRounds / 5);
    EXPECT_LT(rewritten, kRounds - kRounds / 20);
}

} // namespace
