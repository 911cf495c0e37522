// Chains built from any tree the reader accepts and walked with stand-in
// services: every walk ends, and the store's own walk reports what the step
// by step walk saw. Deep nesting (up to the reader's limit) must not exhaust
// the stack.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "ActionFakes.h"
#include "Require.h"
#include "actions/TExecuteAbleList.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

namespace {

constexpr int kIdNo = 7; // the platform's answer for the "No" button

bool InsideChain(const xmlElement& e) {
    const std::wstring_view name = e.GetName();
    return name == L"Command" || name == L"Query" || name == L"Positiv" || name == L"Negativ";
}

void Walk(TExecuteAbleList& store, std::int32_t start) {
    std::int32_t i = start;
    while (i >= 0) {
        TExecuteAble* action = store.At(i);
        Require(action != nullptr, "a chain index beyond the store");
        const std::int32_t next = action->Execute();
        // Successors always come after their action, so a walk takes at most Size() steps.
        Require(next < 0 || next > i, "a successor at or before its action: the walk may not end");
        i = next;
    }
    Require(i == kChainEnd || i == kChainFailure, "a walk ended with an index that means nothing");
    Require(store.RunChain(start) == (i == kChainEnd), "RunChain disagrees with the walk");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::unique_ptr<xmlTree> tree;
    try {
        tree = ParseXmlText(DecodeConfigText({reinterpret_cast<const char*>(data), size}));
    } catch (const xmlError&) {
        return 0;
    }
    FakeDialog dialog;
    dialog.pageCount = 3;
    FakeSystem system;
    TExecuteAbleList store(&dialog, &system);
    // Every element outside a chain is taken for a button: its first "Command", else its
    // first "Query", starts its chain.
    std::vector<std::int32_t> starts;
    std::vector<const xmlElement*> open{&tree->Root()};
    while (!open.empty()) {
        const xmlElement* e = open.back();
        open.pop_back();
        for (std::size_t c = 0; c < e->GetChildCount(); ++c) {
            open.push_back(e->GetChild(c));
        }
        if (!InsideChain(*e)) {
            const xmlElement* command = FindChild(e, L"Command");
            starts.push_back(store.BuildChain(command ? command : FindChild(e, L"Query")));
        }
    }
    for (const int answer : {kIdYes, kIdNo}) {
        dialog.answer = answer;
        for (const std::int32_t start : starts) {
            Walk(store, start);
        }
    }
    return 0;
}
