// navora-pack's rules over any bytes the menu can read, the same bytes standing for every
// program: planning never fails, each planned copy is a normalised path within the folder,
// named once, and the program header is read within the bytes.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <set>
#include <string>

#include "Require.h"
#include "tools/PackRules.h"
#include "xml/xmlReader.h"

namespace {

// Files whose names start with "p" exist and hold the input.
class InputFiles : public FileLookup {
public:
    explicit InputFiles(std::string_view bytes) : bytes_(bytes) {}
    FileState Find(const std::wstring& path) override {
        return !path.empty() && path[0] == L'p' ? FileState::Present : FileState::Absent;
    }
    std::optional<std::string> Head(const std::wstring& path, std::size_t maxBytes,
                                    std::uint64_t& length) override {
        length = bytes_.size();
        return Find(path) == FileState::Present
                   ? std::optional<std::string>(bytes_.substr(0, maxBytes))
                   : std::nullopt;
    }

private:
    std::string_view bytes_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ReadProgramHeader(bytes);
    std::unique_ptr<xmlTree> tree;
    try {
        tree = ParseConfigBytes(bytes);
    } catch (const xmlError&) {
        return 0;
    }
    InputFiles files(bytes);
    PackPlan plan;
    try {
        plan = PlanMedium(MenuReferences(tree->Root()), files);
    } catch (const std::exception& e) {
        Require(false, std::string("planning failed: ") + e.what());
    }
    std::set<std::wstring> named;
    for (const std::wstring& copy : plan.copies) {
        std::wstring relative;
        Require(PlaceOf({copy, ReferenceKind::Program}, relative) == Placement::Medium &&
                    relative == copy,
                "a copy is not a normalised path within the folder");
        Require(named.insert(LowerAsciiLetters(copy)).second, "a file is copied twice");
    }
    Require(plan.unsigned_.size() <= plan.copies.size(), "an unsigned program is not copied");
    return 0;
}
