#include <windows.h>

#include "util/FileBytes.h"
#include "win/Handles.h"

bool ReadFileBytes(const std::wstring& path, std::string& bytes) {
    // Shared for reading, writing and deleting: another program may save over the file (or the
    // design view's watcher read it) at any moment without either failing.
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return false;
    }
    bytes.clear();
    char buffer[65536];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) != 0) && got != 0) {
        bytes.append(buffer, got);
    }
    if (!ok) {
        const DWORD error = GetLastError(); // before the throw allocates
        throw FileReadError(error);
    }
    return true;
}
