#include "actions/TExecuteAbleList.h"

#include "actions/Commands.h"
#include "actions/Queries.h"

std::int32_t TExecuteAbleList::Append(std::unique_ptr<TExecuteAble> action) {
    actions_.push_back(std::move(action));
    return static_cast<std::int32_t>(actions_.size() - 1);
}

TExecuteAble* TExecuteAbleList::At(std::int32_t index) const {
    return index >= 0 && static_cast<std::size_t>(index) < actions_.size()
               ? actions_[static_cast<std::size_t>(index)].get()
               : nullptr;
}

std::int32_t TExecuteAbleList::BuildCommand(const ActionSettings& command) {
    switch (command.type) {
    case ActionType::Weiter:
        return Append(std::make_unique<cmdSwitchPage>(1, dialog_));
    case ActionType::Zurueck:
        return Append(std::make_unique<cmdSwitchPage>(-1, dialog_));
    case ActionType::ShowMessage:
        return Append(std::make_unique<cmdShowMessage>(command.message, command.caption, dialog_));
    case ActionType::Beenden:
        return Append(std::make_unique<cmdBeenden>(dialog_));
    case ActionType::Exec: {
        auto exec = std::make_unique<cmdExec>(command.path, command.parameter, command.maximized,
                                              command.makeAbsolute, system_);
        exec->SetCheckBoxes(dialog_);
        exec->SetLaunch(command.elevate, command.wait, &exitCode_);
        return Append(std::move(exec));
    }
    case ActionType::Lernprog:
        return Append(std::make_unique<cmdLernprog>(command.parameter, command.maximized, system_));
    case ActionType::Minimize:
        return Append(std::make_unique<cmdMinimize>(dialog_));
    case ActionType::GotoPage:
        return Append(std::make_unique<cmdGotoPage>(command.page, dialog_));
    default:
        return kChainFailure; // unknown, or a query's type
    }
}

std::int32_t TExecuteAbleList::BuildQuery(const ActionSettings& query) {
    switch (query.type) {
    case ActionType::File:
        return Append(std::make_unique<QFile>(query.path, system_, query.makeAbsolute));
    case ActionType::Registry:
        // The expected data is compared as written: a menu may test for a literal %NAME%.
        return Append(std::make_unique<QRegistry>(query.hkey, query.key, query.wert, query.value,
                                                  query.valueType, system_));
    case ActionType::WinVersion:
        return Append(std::make_unique<QWinVersion>(query.checkType, query.minorVersion,
                                                    query.majorVersion, system_));
    case ActionType::YesNoBox:
        return Append(std::make_unique<QYesNoBox>(query.message, query.caption, dialog_));
    case ActionType::Admin:
        return Append(std::make_unique<QSystemFact>(&ISystemServices::IsAdministrator, system_));
    case ActionType::Os64:
        return Append(std::make_unique<QSystemFact>(&ISystemServices::IsOs64, system_));
    case ActionType::ExitCode:
        return Append(std::make_unique<QExitCode>(query.exitCode, &exitCode_));
    case ActionType::Arch:
        return Append(std::make_unique<QArch>(query.arch, system_));
    default:
        return kChainFailure; // unknown, or a command's type
    }
}

std::wstring TExecuteAbleList::UnknownStep(const ActionSettings& step) {
    return L"type=\"" + step.typeText + L"\"";
}

namespace {

// Describes a link whose first step has a type outside the vocabulary.
std::wstring UnknownHead(const ChainLink& link, std::int32_t built) {
    const ActionSettings* head = link.query ? link.query.get() : link.command.get();
    return built == kChainFailure && head != nullptr ? TExecuteAbleList::UnknownStep(*head)
                                                     : std::wstring();
}

} // namespace

std::int32_t TExecuteAbleList::BuildLink(const ChainLink& link) {
    std::int32_t first = BuildChain(link.command.get());
    if (link.query) {
        first = BuildChain(link.query.get());
    }
    return first;
}

std::int32_t TExecuteAbleList::BuildChain(const xmlElement* element) {
    return BuildChain(ReadChain(element).get());
}

std::int32_t TExecuteAbleList::BuildChain(const ActionSettings* chain) {
    if (chain == nullptr) {
        return kChainEnd;
    }
    if (chain->isCommand) {
        const std::int32_t i = BuildCommand(*chain);
        // Nothing under an element of unknown type can ever run, so nothing under it is built.
        if (i != kChainFailure) {
            const std::int32_t next = BuildLink(chain->next);
            auto* command = static_cast<TCommand*>(At(i));
            command->next = next;
            command->nextUnknown = UnknownHead(chain->next, next);
        }
        return i;
    }
    const std::int32_t i = BuildQuery(*chain);
    if (i != kChainFailure) {
        const std::int32_t positive = BuildLink(chain->positive);
        const std::int32_t negative = BuildLink(chain->negative);
        auto* query = static_cast<TQuery*>(At(i));
        query->positive = positive;
        query->negative = negative;
        query->positiveUnknown = UnknownHead(chain->positive, positive);
        query->negativeUnknown = UnknownHead(chain->negative, negative);
    }
    return i;
}

bool TExecuteAbleList::RunChain(std::int32_t index) {
    StartWalk(); // an exit code counts only within the walk that waited for it
    running_ = true;
    struct Done {
        bool& running;
        ~Done() { running = false; }
    } done{running_};
    // A menu closed during a step runs no further step, and warns of nothing.
    while (index >= 0 && !dialog_->Closed()) {
        TExecuteAble* action = At(index);
        // Every stored index comes from the builder; one beyond the store would be a fault.
        index = action != nullptr ? action->Execute() : kChainFailure;
        if (index == kChainFailure && action != nullptr) {
            failedStep_ = action->FailedStep();
        }
    }
    return index >= kChainEnd; // the normal end, or stopped by closing the menu
}
