#include <cstdio>

#include "util/FileBytes.h"
#include "xml/TextDecoding.h"

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
    std::FILE* file = std::fopen(EncodeUtf8(path).c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    bytes.clear();
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) != 0) {
        bytes.append(buffer, got);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        throw FileReadError();
    }
    return true;
}
