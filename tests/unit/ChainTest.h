// The fixture of the chain tests: a store over the fakes.
#pragma once

#include <gtest/gtest.h>

#include "ActionFakes.h"

// A store over the fakes, with the trees its chains were built from.
class ChainTest : public ::testing::Test {
protected:
    std::int32_t Build(const std::wstring& button) {
        return BuildButtonChain(store_, trees_, button);
    }

    FakeDialog dialog_;
    FakeSystem system_;
    TExecuteAbleList store_{&dialog_, &system_};
    std::vector<std::unique_ptr<xmlTree>> trees_;
};
