// The action model: commands do something and hand on to one successor,
// queries test something and hand on to their "Positiv" or "Negativ" branch.
// Actions name each other by index in the one store; -1 ends a chain, -2 is failure.
#pragma once

#include <cstdint>

inline constexpr std::int32_t kChainEnd = -1;
inline constexpr std::int32_t kChainFailure = -2;

class TExecuteAble {
public:
    virtual ~TExecuteAble() = default;
    // Carries out the action and returns the index of the action to run next.
    virtual std::int32_t Execute() = 0;
};

class TCommand : public TExecuteAble {
public:
    std::int32_t Execute() override { return DoCommand() ? next : kChainFailure; }
    virtual bool DoCommand() = 0;

    std::int32_t next = kChainEnd;
};

class TQuery : public TExecuteAble {
public:
    std::int32_t Execute() override { return Check() ? positive : negative; }
    // True when the tested condition holds.
    virtual bool Check() = 0;

    std::int32_t positive = kChainEnd;
    std::int32_t negative = kChainEnd;
};
