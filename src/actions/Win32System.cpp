#include "actions/Win32System.h"

#include <windows.h>

#include <shellapi.h>

static_assert(kMbOk == MB_OK && kMbYesNo == MB_YESNO && kIdYes == IDYES);
static_assert(kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ && kRegBinary == REG_BINARY &&
              kRegDword == REG_DWORD && kRegMultiSz == REG_MULTI_SZ);

namespace {

using ShellExecuteExWFn = BOOL(WINAPI*)(SHELLEXECUTEINFOW*);

// The shell library is loaded when the first program is started, not with the menu: it
// brings a dozen libraries that the first screen does not need. Loaded by its full path
// in the system folder, never from the disc. Programs are started on the window's thread.
bool shellLookedUp = false;
ShellExecuteExWFn shellExecute = nullptr;

ShellExecuteExWFn ShellExecuteFunction() {
    if (shellLookedUp) {
        return shellExecute;
    }
    shellLookedUp = true;
    wchar_t path[MAX_PATH + 16];
    const UINT n = GetSystemDirectoryW(path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        return nullptr;
    }
    lstrcpyW(path + n, L"\\shell32.dll");
    const HMODULE shell = LoadLibraryW(path);
    const FARPROC found = shell == nullptr ? nullptr : GetProcAddress(shell, "ShellExecuteExW");
    shellExecute = reinterpret_cast<ShellExecuteExWFn>(reinterpret_cast<void*>(found));
    return shellExecute;
}

} // namespace

bool Win32System::StartFile(const std::wstring& file, const std::wstring& parameters,
                            bool maximized) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    // No working directory: the started program inherits the menu's.
    info.lpDirectory = nullptr;
    info.nShow = maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    const ShellExecuteExWFn start = ShellExecuteFunction();
    if (start == nullptr || !start(&info)) {
        return false;
    }
    if (info.hProcess != nullptr) {
        CloseHandle(info.hProcess); // never waited for
    }
    return true;
}

bool Win32System::PathMatches(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    const HANDLE find = FindFirstFileW(path.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        return false;
    }
    FindClose(find);
    return true;
}

OsVersion Win32System::GetOsVersion() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(&info)) {
        return {};
    }
    return {info.dwMajorVersion, info.dwMinorVersion};
}

bool Win32System::IsWow64() {
    // Looked up at run time: systems before XP SP2 do not have it.
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"kernel32"), "IsWow64Process");
    if (found == nullptr) {
        return false;
    }
    const auto isWow64Process = reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void*>(found));
    BOOL wow64 = FALSE;
    return isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::optional<RegistryData> Win32System::ReadRegistryValue(RegistryHive hive,
                                                           const std::wstring& subkey,
                                                           const std::wstring& name, bool view64) {
    static const HKEY kHives[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE,
                                  HKEY_USERS, HKEY_CURRENT_CONFIG};
    HKEY key = nullptr;
    const REGSAM access = KEY_QUERY_VALUE | (view64 ? KEY_WOW64_64KEY : 0);
    if (RegOpenKeyExW(kHives[static_cast<int>(hive)], subkey.c_str(), 0, access, &key) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    RegistryData data;
    DWORD type = 0;
    DWORD size = 0;
    LONG status = RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size);
    // The value may grow between asking its size and reading it.
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        data.bytes.resize(size);
        status = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.bytes.data(), &size);
        if (status == ERROR_SUCCESS) {
            data.bytes.resize(size);
            break;
        }
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) {
        return std::nullopt;
    }
    data.type = type;
    return data;
}

std::wstring Win32System::ProgramPath() {
    std::wstring path(1040, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}
