// Each platform reads a whole file with its own file calls (no streams).
#pragma once

#include <exception>
#include <string>

// Reports a read that failed after the file opened, with the system's error code if any.
class FileReadError : public std::exception {
public:
    explicit FileReadError(unsigned long error = 0) : code(error) {}
    unsigned long code;
    const char* what() const noexcept override {
        return "the configuration file could not be read";
    }
};

// Returns false when the file cannot be opened; a read that fails after the file opened
// raises FileReadError.
bool ReadFileBytes(const std::wstring& path, std::string& bytes);
