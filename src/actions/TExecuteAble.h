// The action model: commands do something and hand on to one successor,
// queries test something and hand on to their "Positiv" or "Negativ" branch.
// Actions name each other by index in the one store; -1 ends a chain, -2 is failure.
#pragma once

#include <cstdint>
#include <string>

inline constexpr std::int32_t kChainEnd = -1;
inline constexpr std::int32_t kChainFailure = -2;

class TExecuteAble {
public:
    virtual ~TExecuteAble() = default;
    // Carries out the action and returns the index of the action to run next.
    virtual std::int32_t Execute() = 0;
    // Names the failed step briefly after an Execute that failed (the path that could not be
    // started, or type="..." of a successor outside the vocabulary).
    virtual std::wstring FailedStep() const = 0;
};

class TCommand : public TExecuteAble {
public:
    std::int32_t Execute() override {
        done = DoCommand();
        return done ? next : kChainFailure;
    }
    virtual bool DoCommand() = 0;
    // A command that fails itself names the path it starts.
    virtual std::wstring What() const { return {}; }
    std::wstring FailedStep() const override { return done ? nextUnknown : What(); }

    std::int32_t next = kChainEnd;
    std::wstring nextUnknown; // the successor, when its type is outside the vocabulary
    bool done = false;
};

class TQuery : public TExecuteAble {
public:
    std::int32_t Execute() override {
        answer = Check();
        return answer ? positive : negative;
    }
    // True when the tested condition holds.
    virtual bool Check() = 0;
    std::wstring FailedStep() const override { return answer ? positiveUnknown : negativeUnknown; }

    std::int32_t positive = kChainEnd;
    std::int32_t negative = kChainEnd;
    std::wstring positiveUnknown; // the branch's first step, when its type is unknown
    std::wstring negativeUnknown;
    bool answer = false;
};
