// The check-state rewrite on generated menus full of the dialect's quirks: the
// new file always reads as the old one but for the states written, and the
// read-back guard never has to step in.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "MenuGenerator.h"
#include "WriteBackProperty.h"
#include "config/CheckState.h"

namespace {

const std::vector<std::wstring> kWideIds = {L"a", L"a", L"b", L"", L"a\"b", L"\u00fc", L"zz"};

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
