// Reading a whole file, on each platform's own file calls (no streams).
#pragma once

#include <string>

// False when the file cannot be opened; a read that fails after the file opened
// raises std::runtime_error.
bool ReadFileBytes(const std::wstring& path, std::string& bytes);
