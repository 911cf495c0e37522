// Reading a whole file, on each platform's own file calls (no streams).
#pragma once

#include <exception>
#include <string>

// A read that failed after the file opened.
class FileReadError : public std::exception {
public:
    const char* what() const noexcept override {
        return "the configuration file could not be read";
    }
};

// False when the file cannot be opened; a read that fails after the file opened
// raises FileReadError.
bool ReadFileBytes(const std::wstring& path, std::string& bytes);
