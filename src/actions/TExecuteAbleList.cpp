#include "actions/TExecuteAbleList.h"

#include "actions/Commands.h"
#include "actions/Queries.h"
#include "config/ValueConversions.h"
#include "config/xmlElement.h"

namespace {

// A missing configuration child reads as one without attributes.
std::wstring Attr(const xmlElement* config, const wchar_t* name) {
    return config == nullptr ? std::wstring() : config->GetAttribute(name);
}

} // namespace

std::int32_t TExecuteAbleList::Append(std::unique_ptr<TExecuteAble> action) {
    actions_.push_back(std::move(action));
    return static_cast<std::int32_t>(actions_.size() - 1);
}

TExecuteAble* TExecuteAbleList::At(std::int32_t index) const {
    return index >= 0 && static_cast<std::size_t>(index) < actions_.size()
               ? actions_[static_cast<std::size_t>(index)].get()
               : nullptr;
}

std::int32_t TExecuteAbleList::BuildCommand(const xmlElement& element) {
    const std::wstring type = element.GetAttribute(L"type");
    if (type == L"weiter" || type == L"zur\u00fcck") {
        return Append(std::make_unique<cmdSwitchPage>(type == L"weiter" ? 1 : -1, dialog_));
    }
    if (type == L"showmessage") {
        const xmlElement* config = FindChild(&element, L"ShowMessageCommandConfig");
        return Append(std::make_unique<cmdShowMessage>(Attr(config, L"message"),
                                                       Attr(config, L"caption"), dialog_));
    }
    if (type == L"beenden") {
        return Append(std::make_unique<cmdBeenden>(dialog_));
    }
    if (type == L"exec") {
        const xmlElement* config = FindChild(&element, L"ExecCommandConfig");
        return Append(std::make_unique<cmdExec>(Attr(config, L"path"), Attr(config, L"parameter"),
                                                IsOn(Attr(config, L"maximized")),
                                                IsOn(Attr(config, L"makeabsolute")), system_));
    }
    if (type == L"lernprog") {
        const xmlElement* config = FindChild(&element, L"LernprogCommandConfig");
        return Append(std::make_unique<cmdLernprog>(Attr(config, L"parameter"),
                                                    IsOn(Attr(config, L"maximized")), system_));
    }
    if (type == L"minimize") {
        return Append(std::make_unique<cmdMinimize>(dialog_));
    }
    return kChainFailure;
}

std::int32_t TExecuteAbleList::BuildQuery(const xmlElement& element) {
    const std::wstring type = element.GetAttribute(L"type");
    if (type == L"file") {
        const xmlElement* config = FindChild(&element, L"FileQueryConfig");
        return Append(std::make_unique<QFile>(Attr(config, L"path"), system_));
    }
    if (type == L"registry") {
        const xmlElement* config = FindChild(&element, L"RegistryQueryConfig");
        return Append(std::make_unique<QRegistry>(Attr(config, L"hkey"), Attr(config, L"key"),
                                                  Attr(config, L"wert"), Attr(config, L"value"),
                                                  Attr(config, L"type"), system_));
    }
    if (type == L"winversion") {
        const xmlElement* config = FindChild(&element, L"WinVersionQueryConfig");
        return Append(std::make_unique<QWinVersion>(
            TextToInt(Attr(config, L"checktype")), TextToInt(Attr(config, L"minorversion")),
            TextToInt(Attr(config, L"majorversion")), system_));
    }
    if (type == L"yesnobox") {
        const xmlElement* config = FindChild(&element, L"YesNoBoxQueryConfig");
        return Append(std::make_unique<QYesNoBox>(Attr(config, L"message"),
                                                  Attr(config, L"caption"), dialog_));
    }
    return kChainFailure;
}

std::int32_t TExecuteAbleList::BuildBranch(const xmlElement* branch) {
    std::int32_t first = kChainEnd;
    if (const xmlElement* command = FindChild(branch, L"Command")) {
        first = BuildChain(command);
    }
    // A "Query" replaces the "Command" as the link; both are built.
    if (const xmlElement* query = FindChild(branch, L"Query")) {
        first = BuildChain(query);
    }
    return first;
}

std::int32_t TExecuteAbleList::BuildChain(const xmlElement* element) {
    if (element == nullptr) {
        return kChainEnd;
    }
    if (element->GetName() == L"Command") {
        const std::int32_t i = BuildCommand(*element);
        // Nothing under an element of unknown type can ever run, so nothing under it is built.
        if (i != kChainFailure) {
            static_cast<TCommand*>(At(i))->next = BuildBranch(element);
        }
        return i;
    }
    const std::int32_t i = BuildQuery(*element);
    if (i != kChainFailure) {
        const std::int32_t positive = BuildBranch(FindChild(element, L"Positiv"));
        const std::int32_t negative = BuildBranch(FindChild(element, L"Negativ"));
        auto* query = static_cast<TQuery*>(At(i));
        query->positive = positive;
        query->negative = negative;
    }
    return i;
}

bool TExecuteAbleList::RunChain(std::int32_t index) {
    while (index >= 0) {
        TExecuteAble* action = At(index);
        // Every stored index comes from the builder; one beyond the store would be a fault.
        index = action != nullptr ? action->Execute() : kChainFailure;
    }
    return index == kChainEnd;
}
