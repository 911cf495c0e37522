// The one action store of the dialog: builds every button's chain from the
// configuration and runs chains by index.
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
    // The same for the chain read from a "Command" or "Query" element.
    std::int32_t BuildChain(const xmlElement* element);
    std::int32_t BuildCommand(const ActionSettings& command);
    std::int32_t BuildQuery(const ActionSettings& query);

    // Walks from `index` until an action yields a negative index or the menu is closed. True
    // when the walk ended normally (-1) or by closing; false for failure (-2, or a start index
    // below -1), which the button reports with the chain warning.
    bool RunChain(std::int32_t index);
    // Whether a walk runs: no chain starts inside another.
    bool Running() const { return running_; }
    // What a walk begins with, RunChain as well: no exit code, no failed step.
    void StartWalk() {
        exitCode_.reset();
        failedStep_.clear();
    }
    // After a RunChain that failed on its way: the step that failed, briefly; else empty.
    const std::wstring& FailedStep() const { return failedStep_; }
    // How a step of a type outside the vocabulary is named in the chain warning.
    static std::wstring UnknownStep(const ActionSettings& step);

    std::size_t Size() const { return actions_.size(); }
    TExecuteAble* At(std::int32_t index) const;

private:
    std::int32_t Append(std::unique_ptr<TExecuteAble> action);
    // Builds both children of a link; the query, when there is one, is the link.
    std::int32_t BuildLink(const ChainLink& link);

    // `text` with its variables put in; a path is joined to the program's folder after that.
    std::wstring Expanded(const std::wstring& text) const;

    IMenuDialog* dialog_;
    ISystemServices* system_;
    std::vector<std::unique_ptr<TExecuteAble>> actions_;
    // The exit code of the last program the running walk waited for.
    std::optional<std::uint32_t> exitCode_;
    std::wstring failedStep_;
    bool running_ = false;
};
