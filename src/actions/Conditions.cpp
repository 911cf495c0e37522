#include "actions/Conditions.h"

bool MayBeCondition(const ActionSettings& query) {
    return !query.isCommand && query.type != ActionType::Unknown &&
           query.type != ActionType::YesNoBox && query.type != ActionType::ExitCode;
}

std::vector<ConditionStep> BuildCondition(TExecuteAbleList& store,
                                          const ConditionSettings& condition) {
    std::vector<ConditionStep> steps;
    for (const auto& query : condition.queries) {
        steps.push_back(
            {MayBeCondition(*query) ? store.BuildQuery(*query) : kChainFailure, query->negate});
    }
    return steps;
}

bool ConditionHolds(const TExecuteAbleList& store, const std::vector<ConditionStep>& steps) {
    for (const ConditionStep& step : steps) {
        auto* query = static_cast<TQuery*>(store.At(step.query));
        if (query == nullptr || query->Check() == step.negate) {
            return false;
        }
    }
    return true;
}
