// navora-check and navora-proof read a configuration from disk and look up the files it names
// from its folder.
#pragma once

#include <filesystem>

#include "tools/Checker.h"

// Reads a whole file as the C runtime's text mode delivers it and decodes it
// from UTF-8, as the menu does. False when the file cannot be opened; a failing
// read raises std::ios_base::failure.
bool LoadConfigText(const std::filesystem::path& path, std::wstring& text);

// Names compare letter case aside, as the file systems of Windows and of discs do; absolute
// paths are not looked up.
class DiskFiles : public FileLookup {
public:
    explicit DiskFiles(std::filesystem::path dir) : dir_(std::move(dir)) {}

    FileState Find(const std::wstring& path) override;
    std::optional<std::string> Head(const std::wstring& path, std::size_t maxBytes,
                                    std::uint64_t& length) override;
    std::string Identity(const std::wstring& path) override;
    // Returns the matching file, an empty path for none, or nothing for a path that cannot be
    // looked up here (an absolute one). navora-pack copies what it returns.
    std::optional<std::filesystem::path> Resolve(const std::wstring& path) const;

private:
    std::filesystem::path dir_;
};
