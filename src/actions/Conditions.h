// A control's "ShowIf" and "EnableIf" are built into the action store as lone queries and
// asked, with the chains' own query code, each time the control's page is shown.
#pragma once

#include <cstdint>
#include <vector>

#include "actions/TExecuteAbleList.h"
#include "config/MenuSettings.h"

struct ConditionStep {
    std::int32_t query; // in the store; kChainFailure for one that cannot be a condition
    bool negate;
};

// Says whether a query of this type may stand in a condition: not one that asks the user
// ("yesnobox") or needs a chain's program ("exitcode"), nor a type outside the vocabulary.
bool MayBeCondition(const ActionSettings& query);

// Builds each query of the condition alone, without its branches.
std::vector<ConditionStep> BuildCondition(TExecuteAbleList& store,
                                          const ConditionSettings& condition);

// Says whether every query holds (a negated one when its test does not); a condition with a
// query that cannot be one never holds. Without queries it holds.
bool ConditionHolds(const TExecuteAbleList& store, const std::vector<ConditionStep>& steps);
