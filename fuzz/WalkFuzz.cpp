// What-if walks of any bytes the menu can read, with and without facts: the walk
// never fails, lists every control once, each walk ends within as many steps as the
// file has "Command" and "Query" elements and only fails at a step of unknown type or
// a launch; its text and JSON are UTF-8.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "Require.h"
#include "tools/Walk.h"
#include "xml/TextDecoding.h"
#include "xml/xmlReader.h"

namespace {

// Files whose names start with "p" exist.
class InputFiles : public FileLookup {
public:
    FileState Find(const std::wstring& path) override {
        return !path.empty() && path[0] == L'p' ? FileState::Present : FileState::Absent;
    }
    std::optional<std::string> Head(const std::wstring&, std::size_t, std::uint64_t&) override {
        return std::nullopt;
    }
};

std::size_t CountChainElements(const xmlElement& root) {
    std::size_t count = 0;
    std::vector<const xmlElement*> open{&root};
    while (!open.empty()) {
        const xmlElement* e = open.back();
        open.pop_back();
        count += e->GetName() == L"Command" || e->GetName() == L"Query" ? 1 : 0;
        for (std::size_t c = 0; c < e->GetChildCount(); ++c) {
            open.push_back(e->GetChild(c));
        }
    }
    return count;
}

std::size_t CountControls(const xmlElement& root) {
    std::size_t count = FindChild(&root, L"BtnBeenden") != nullptr ? 1 : 0;
    if (const xmlElement* pages = FindChild(&root, L"Pages")) {
        for (std::size_t p = 0; p < pages->GetChildCount(); ++p) {
            count += pages->GetChild(p)->GetChildCount();
        }
    }
    return count;
}

// Commands that always succeed with a menu window.
bool NeverFails(const WalkStep& s) {
    return !s.query && (s.type == "weiter" || s.type == "zur\u00fcck" || s.type == "showmessage" ||
                        s.type == "beenden" || s.type == "minimize");
}

WalkFacts Assumed() {
    WalkFacts facts;
    std::string error;
    for (const char* fact :
         {"winversion=5.1", "wow64=yes", "yesno=no", "yesno:p=yes", "file:*.exe=present",
          "file:p*=absent", "registry:HKEY_CURRENT_CONFIG\\\\=REG_SZ:",
          "registry:HKEY_LOCAL_MACHINE\\p\\p=REG_DWORD:1"}) {
        Require(ParseFact(fact, facts, error), "a good fact refused: " + error);
    }
    return facts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = DecodeConfigText({reinterpret_cast<const char*>(data), size});
    std::unique_ptr<xmlTree> tree;
    try {
        tree = ParseXmlText(text);
    } catch (const xmlError&) {
        return 0;
    }
    static const WalkFacts kAssumed = Assumed();
    const std::size_t elements = CountChainElements(tree->Root());
    InputFiles files;
    for (const WalkFacts& facts : {WalkFacts(), kAssumed}) {
        std::vector<ControlWalk> walks;
        try {
            walks = WalkMenu(*tree, text, facts, files);
        } catch (const std::exception& e) {
            Require(false, std::string("the walk failed: ") + e.what());
        }
        Require(walks.size() == CountControls(tree->Root()), "a control walked twice or never");
        for (const ControlWalk& w : walks) {
            Require(w.steps.size() <= elements, "more steps than the file has actions");
            for (std::size_t i = 0; i < w.steps.size(); ++i) {
                // A step of unknown type, such as a query without answer, ends a failed walk.
                const WalkStep& s = w.steps[i];
                Require(((!s.query || s.answer) && !s.type.empty()) ||
                            (i + 1 == w.steps.size() && w.failed),
                        "a walk went on after a step of unknown type");
            }
            Require(!w.failed || (!w.steps.empty() && !NeverFails(w.steps.back())),
                    "a walk failed at a step that cannot fail");
        }
        const std::string out = WalkText(walks) + WalkJson(walks);
        Require(EncodeUtf8(DecodeUtf8(out)) == out, "the output is not UTF-8");
    }
    return 0;
}
