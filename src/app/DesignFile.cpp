#include "app/DesignFile.h"

#include "config/AttributeEdit.h"
#include "config/CheckState.h"
#include "config/Win32CheckStateFiles.h"
#include "xml/xmlReader.h"

namespace {

// The bytes decided before, written only over the bytes they were made from.
class DesignRewrite : public ConfigRewrite {
public:
    DesignRewrite(const std::string& expected, const std::string& bytes)
        : expected_(expected), bytes_(bytes) {}
    std::optional<std::string> NewBytes(std::string_view current) override {
        changed_ = current != expected_;
        return changed_ ? std::nullopt : std::optional<std::string>(bytes_);
    }
    bool Changed() const { return changed_; }

private:
    const std::string& expected_;
    const std::string& bytes_;
    bool changed_ = false;
};

} // namespace

const xmlElement* ControlElement(const xmlTree& tree, const ControlRef& control) {
    const xmlElement* root = &tree.Root();
    if (control.page < 0) {
        return FindChild(root, L"BtnBeenden");
    }
    const xmlElement* pages = FindChild(root, L"Pages");
    const auto page = static_cast<std::size_t>(control.page);
    if (pages == nullptr || page >= pages->GetChildCount() ||
        control.index >= pages->GetChild(page)->GetChildCount()) {
        return nullptr;
    }
    return pages->GetChild(page)->GetChild(control.index);
}

const xmlElement* ControlPart(const xmlTree& tree, const ControlRef& control,
                              std::wstring_view part) {
    return FindChild(ControlElement(tree, control), part);
}

ControlEdit SetControlAttribute(std::string_view bytes, const ControlRef& control,
                                std::wstring_view part, std::wstring_view name,
                                std::wstring_view value) {
    std::unique_ptr<xmlTree> tree;
    try {
        tree = ParseConfigBytes(bytes);
    } catch (...) {
        return {std::nullopt, EditRefusalText(EditRefusal::UnreadableFile)};
    }
    const xmlElement* element = ControlPart(*tree, control, part);
    if (element == nullptr) {
        return {std::nullopt, L"The control has no " + std::wstring(part) + L" element."};
    }
    EditResult edit = EditAttribute(bytes, *tree, *element, name, value);
    return {std::move(edit.bytes), EditRefusalText(edit.refusal)};
}

std::wstring WriteDesignedBytes(const std::wstring& path, const std::string& expected,
                                const std::string& bytes) {
    Win32CheckStateFiles files;
    DesignRewrite rewrite(expected, bytes);
    if (RewriteConfigFile(path, rewrite, files)) {
        return {};
    }
    return EditRefusalText(rewrite.Changed() ? EditRefusal::FileChanged : EditRefusal::NotWritten);
}
