#include "win/Application.h"

#include <cstdlib>

#include "win/ErrorReport.h"

namespace {

Application* g_application = nullptr;

// DLLs load from the system folder only, so that one placed beside the menu on a stick is
// never picked up. The call is looked up at run time, as older systems lack it.
void RestrictDllSearch() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"kernel32"), "SetDefaultDllDirectories");
    if (found != nullptr) {
        reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(found))(
            LOAD_LIBRARY_SEARCH_SYSTEM32);
    }
    SetDllDirectoryW(L"");
}

} // namespace

// The library's default handler for an exception that escapes names its type, and
// with it links a whole C++ name demangler (some 46 KB) into every program. Every
// exception is caught at the window procedures and at the entry, so none escapes;
// should one, the program ends without the name.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx

Application::Application() {
    g_application = this;
}

Application* Application::Current() {
    return g_application;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    RestrictDllSearch();
    Application* application = Application::Current();
    if (application == nullptr) {
        return 1;
    }
    try {
        application->InitInstance();
    } catch (...) {
        ReportCurrentException(nullptr);
        return 1;
    }
    return 0;
}
