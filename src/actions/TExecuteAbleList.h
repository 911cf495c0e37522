// The dialog's one action store builds every button's chain from the configuration and runs
// chains by index.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "actions/ActionServices.h"
#include "actions/TExecuteAble.h"
#include "config/MenuSettings.h"

class TExecuteAbleList {
public:
    TExecuteAbleList(IMenuDialog* dialog, ISystemServices* system)
        : dialog_(dialog), system_(system) {}

    // Builds the actions of a "Command" or "Query" element and all nested in it,
    // in depth-first pre-order; returns the element's own index, -1 for no
    // element, -2 for a type outside the vocabulary.
    std::int32_t BuildChain(const ActionSettings* chain);
    // Does the same for the chain read from a "Command" or "Query" element.
    std::int32_t BuildChain(const xmlElement* element);
    std::int32_t BuildCommand(const ActionSettings& command);
    std::int32_t BuildQuery(const ActionSettings& query);

    // Walks from `index` until an action yields a negative index or the menu is closed. True
    // when the walk ended normally (-1) or by closing; false for failure (-2, or a start index
    // below -1), which the button reports with the chain warning.
    bool RunChain(std::int32_t index);
    // Says whether a walk runs, since no chain starts inside another.
    bool Running() const { return running_; }
    // Clears the exit code and the failed step, as every walk and RunChain begin.
    void StartWalk() {
        exitCode_.reset();
        failedStep_.clear();
    }
    // Names the failed step briefly after a RunChain that failed; else returns empty text.
    const std::wstring& FailedStep() const { return failedStep_; }
    // Names a step of a type outside the vocabulary for the chain warning.
    static std::wstring UnknownStep(const ActionSettings& step);

    std::size_t Size() const { return actions_.size(); }
    TExecuteAble* At(std::int32_t index) const;

private:
    std::int32_t Append(std::unique_ptr<TExecuteAble> action);
    // Builds both children of a link; the query, when there is one, is the link.
    std::int32_t BuildLink(const ChainLink& link);

    IMenuDialog* dialog_;
    ISystemServices* system_;
    std::vector<std::unique_ptr<TExecuteAble>> actions_;
    // The last program the running walk waited for left this exit code.
    std::optional<std::uint32_t> exitCode_;
    std::wstring failedStep_;
    bool running_ = false;
};
