#include "actions/Win32System.h"

#include <windows.h>

#include <shellapi.h>

#include "win/Handles.h"
#include "win/SystemLibrary.h"
#include "win/VisualStyles.h"

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
    const HMODULE shell = LoadSystemLibrary(L"shell32.dll");
    const FARPROC found = shell == nullptr ? nullptr : GetProcAddress(shell, "ShellExecuteExW");
    shellExecute = reinterpret_cast<ShellExecuteExWFn>(reinterpret_cast<void*>(found));
    return shellExecute;
}

// The window takes no clicks or keys while the menu waits for a program.
// It still paints, its caption can still be dragged, and its close box and Alt+F4 close it.
bool IsInputWhileWaiting(const MSG& msg) {
    if (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F4) {
        return false;
    }
    if ((msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
        (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST &&
         msg.message != WM_MOUSEMOVE)) {
        return true;
    }
    switch (msg.message) {
    case WM_NCLBUTTONDOWN:
        return msg.wParam != HTCAPTION && msg.wParam != HTCLOSE;
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONUP:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONUP:
    case WM_NCMBUTTONDBLCLK:
    case WM_NCXBUTTONDOWN:
    case WM_NCXBUTTONUP:
    case WM_NCXBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

// Runs the thread's messages except input until `process` has ended or the menu was closed.
void WaitPainting(HANDLE process, const IMenuDialog* menu) {
    while (menu == nullptr || !menu->Closed()) {
        const DWORD woken = MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1) {
            return; // the program has ended, or the wait itself failed
        }
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam)); // for the loop that ends the menu
                return;
            }
            if (!IsInputWhileWaiting(msg)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
    }
}

} // namespace

SHELLEXECUTEINFOW ShellLaunchInfo(const std::wstring& file, const std::wstring& parameters,
                                  const LaunchOptions& how, HWND owner, wchar_t* folder) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    // The menu window owns them rather than none: the shell's own boxes (a failed launch) and the
    // consent prompt are modal to it, so no chain starts inside another meanwhile.
    info.hwnd = owner;
    info.lpVerb = how.elevate ? L"runas" : nullptr;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    // A plain launch names no folder: the program inherits the menu's current one. An elevated
    // program is started by the system, which would not pass it on: it is named instead.
    const DWORD length = how.elevate ? GetCurrentDirectoryW(MAX_PATH, folder) : 0;
    if (length > 0 && length < MAX_PATH) {
        info.lpDirectory = folder;
    }
    info.nShow = how.maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    return info;
}

bool Win32System::RunFile(const std::wstring& file, const std::wstring& parameters,
                          const LaunchOptions& how, std::optional<std::uint32_t>& exitCode) {
    exitCode.reset();
    wchar_t folder[MAX_PATH];
    SHELLEXECUTEINFOW info = ShellLaunchInfo(file, parameters, how, window_, folder);
    const ShellExecuteExWFn start = ShellExecuteFunction();
    if (start == nullptr) {
        return false;
    }
    {
        const VisualStyles styles; // for the shell's own dialogs, not through the wait
        if (!start(&info)) {
            return false;
        }
    }
    // Closing the handle leaves a program not waited for, or still running, to go on alone.
    const UniqueProcess process(info.hProcess);
    if (!process) {
        return true; // handed to a program already running: nothing to wait for
    }
    if (how.wait) {
        WaitPainting(process.get(), dialog_);
        DWORD code = 0;
        if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0 &&
            GetExitCodeProcess(process.get(), &code)) {
            exitCode = code;
        }
    }
    return true;
}

std::optional<std::wstring> Win32System::EnvironmentVariable(const std::wstring& name) {
    std::wstring value(64, L'\0');
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD n =
            GetEnvironmentVariableW(name.c_str(), value.data(), static_cast<DWORD>(value.size()));
        if (n == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) {
                return std::nullopt;
            }
            return std::wstring(); // set, and empty
        }
        if (n < value.size()) {
            value.resize(n);
            return value;
        }
        value.resize(n); // n counts the terminating zero when the buffer is too small
    }
}

bool Win32System::IsAdministrator() {
    // Only membership that counts passes: a token filtered by user account control holds the
    // group only for denying, so only an elevated (or unfiltered) token passes.
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0,
                                  0, 0, 0, 0, 0, &administrators)) {
        return false;
    }
    BOOL member = FALSE;
    if (!CheckTokenMembership(nullptr, administrators, &member)) {
        member = FALSE;
    }
    FreeSid(administrators);
    return member != FALSE;
}

bool Win32System::IsOs64() {
#ifdef _WIN64
    return true;
#else
    return IsWow64();
#endif
}

MachineArch Win32System::NativeMachine() {
    // Both calls are looked up at run time: IsWow64Process2 came with Windows 10 1511, and
    // only it tells an x86 program on ARM64 the truth; GetNativeSystemInfo came with XP.
    const HMODULE kernel = GetModuleHandleW(L"kernel32");
    using IsWow64Process2Fn = BOOL(WINAPI*)(HANDLE, USHORT*, USHORT*);
    if (const FARPROC found = GetProcAddress(kernel, "IsWow64Process2")) {
        USHORT process = 0;
        USHORT native = 0;
        if (reinterpret_cast<IsWow64Process2Fn>(reinterpret_cast<void*>(found))(
                GetCurrentProcess(), &process, &native)) {
            constexpr USHORT kMachineArm64 = 0xAA64;
            return native == IMAGE_FILE_MACHINE_I386    ? MachineArch::X86
                   : native == IMAGE_FILE_MACHINE_AMD64 ? MachineArch::X64
                   : native == kMachineArm64            ? MachineArch::Arm64
                                                        : MachineArch::Unknown;
        }
    }
    using GetNativeSystemInfoFn = void(WINAPI*)(SYSTEM_INFO*);
    SYSTEM_INFO info{};
    if (const FARPROC found = GetProcAddress(kernel, "GetNativeSystemInfo")) {
        reinterpret_cast<GetNativeSystemInfoFn>(reinterpret_cast<void*>(found))(&info);
    } else {
        GetSystemInfo(&info);
    }
    constexpr WORD kArchitectureArm64 = 12;
    return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_INTEL   ? MachineArch::X86
           : info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ? MachineArch::X64
           : info.wProcessorArchitecture == kArchitectureArm64           ? MachineArch::Arm64
                                                                         : MachineArch::Unknown;
}

bool Win32System::StartFile(const std::wstring& file, const std::wstring& parameters,
                            bool maximized) {
    std::optional<std::uint32_t> none;
    return RunFile(file, parameters, {maximized, false, false}, none);
}

bool Win32System::PathMatches(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    return static_cast<bool>(UniqueFind(FindFirstFileW(path.c_str(), &found)));
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
    // The call is looked up at run time, as systems before XP SP2 do not have it.
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
    HKEY opened = nullptr;
    const REGSAM access = KEY_QUERY_VALUE | (view64 ? KEY_WOW64_64KEY : 0);
    if (RegOpenKeyExW(kHives[static_cast<int>(hive)], subkey.c_str(), 0, access, &opened) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    const UniqueRegKey key(opened);
    RegistryData data;
    DWORD type = 0;
    DWORD size = 0;
    LONG status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
    // The value may grow between asking its size and reading it.
    while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
        data.bytes.resize(size);
        status =
            RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, data.bytes.data(), &size);
        if (status == ERROR_SUCCESS) {
            data.bytes.resize(size);
            break;
        }
    }
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
