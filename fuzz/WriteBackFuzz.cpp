// The check-state rewrite on any file, for an id the file's reader sees (or
// none): whenever it produces new bytes, they read as the old ones with only
// the check box's "currentval" changed, so the read-back before the file is
// replaced never has to refuse. The first input byte chooses the state
// (bit 0) and the id (the rest: 0 for none, else one of the tree's "id"
// values in document order, cyclically); the file is the bytes after it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Require.h"
#include "WriteBackProperty.h"
#include "config/CheckState.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

namespace {

std::wstring PickId(std::string_view file, unsigned pick) {
    if (pick == 0) {
        return {};
    }
    std::vector<std::wstring> ids;
    try {
        const auto tree = ParseXmlText(DecodeConfigText(file));
        std::vector<const xmlElement*> open{&tree->Root()};
        while (!open.empty()) {
            const xmlElement* e = open.back();
            open.pop_back();
            for (std::size_t i = 0; i < e->GetAttributeCount(); ++i) {
                if (e->GetAttributeName(i) == L"id") {
                    ids.emplace_back(e->GetAttributeValue(i));
                }
            }
            for (std::size_t c = e->GetChildCount(); c > 0; --c) {
                open.push_back(e->GetChild(c - 1));
            }
        }
    } catch (const xmlError&) {
        return {};
    }
    return ids.empty() ? std::wstring() : ids[(pick - 1) % ids.size()];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const bool checked = (data[0] & 1) != 0;
    const std::string_view file(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::wstring id = PickId(file, data[0] >> 1);
    // The rewrite as planned, without the read-back that would hide a fault by leaving the file.
    const auto planned = PlanCheckStates(file, {{id, checked}});
    if (planned) {
        const std::string fault = WriteBackFault(file, *planned, id, checked);
        Require(fault.empty(), fault + " (id \"" + EncodeUtf8(id) + "\", state " +
                                   (checked ? "true" : "false") + ")");
        Require(RewriteCheckState(file, id, checked) == planned, "the read-back refused a rewrite");
    }
    return 0;
}
