// A folder beside the configuration for the checker and the walks: files by name and
// bytes, letter case aside; absolute paths cannot be looked up.
#pragma once

#include <map>
#include <set>
#include <string>

#include "tools/Checker.h"
#include "xml/xmlElement.h"

class FakeFiles : public FileLookup {
public:
    explicit FakeFiles(std::map<std::wstring, std::string> files) : files_(std::move(files)) {}
    // Empty files of those names.
    explicit FakeFiles(const std::set<std::wstring>& names) {
        for (const std::wstring& name : names) {
            files_[name];
        }
    }

    FileState Find(const std::wstring& path) override {
        if ((path.size() >= 2 && path[1] == L':') || path.empty() || path[0] == L'\\') {
            return FileState::Unknown;
        }
        for (const auto& [name, bytes] : files_) {
            if (WildcardMatch(LowerAsciiLetters(path), name)) {
                return FileState::Present;
            }
        }
        return FileState::Absent;
    }

    std::optional<std::string> Head(const std::wstring& path, std::size_t maxBytes,
                                    std::uint64_t& length) override {
        const auto it = files_.find(LowerAsciiLetters(path));
        if (it == files_.end()) {
            return std::nullopt;
        }
        length = it->second.size();
        return it->second.substr(0, maxBytes);
    }

private:
    std::map<std::wstring, std::string> files_;
};
