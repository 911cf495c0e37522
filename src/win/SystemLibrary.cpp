#include "win/SystemLibrary.h"

HMODULE LoadSystemLibrary(const wchar_t* name) {
    wchar_t path[MAX_PATH + 16]; // room for the names the menu loads, up to 14 characters
    const UINT n = GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return nullptr;
    }
    path[n] = L'\\';
    lstrcpyW(path + n + 1, name);
    return LoadLibraryW(path);
}
