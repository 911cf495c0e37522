#include "app/DesignFile.h"

#include "config/AttributeEdit.h"
#include "config/CheckState.h"
#include "config/Win32CheckStateFiles.h"

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

std::wstring WriteDesignedBytes(const std::wstring& path, const std::string& expected,
                                const std::string& bytes) {
    Win32CheckStateFiles files;
    DesignRewrite rewrite(expected, bytes);
    if (RewriteConfigFile(path, rewrite, files)) {
        return {};
    }
    return EditRefusalText(rewrite.Changed() ? EditRefusal::FileChanged : EditRefusal::NotWritten);
}
