// The demo disc from outside, the way a user meets it: the menu starts from
// its folder, the tooltip slides out, the check box rewrites the file, a page
// switch shows the next page, and "Setup starten" starts the disc's program.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ProcessWindows.h"
#include "config/CheckState.h"

namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void PointAt(HWND control, int x, int y) {
    POINT p{x, y};
    ClientToScreen(control, &p);
    SetCursorPos(p.x, p.y);
    Sleep(300);
}

void Click(HWND control) {
    PointAt(control, 30, 10);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    Sleep(150);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    Sleep(500);
}

int WidthOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    return r.right - r.left;
}

TEST(DemoDisc, WorksAsAUserMeetsIt) {
    const fs::path build = BuildDirectory();
    const fs::path disc = fs::temp_directory_path() / "navora-demo-disc";
    fs::remove_all(disc);
    fs::create_directories(disc);
    for (const auto& entry :
         fs::directory_iterator(fs::path(NAVORA_SOURCE_DIR) / "examples/demo")) {
        fs::copy_file(entry.path(), disc / entry.path().filename());
    }
    for (const char* asset : {"background.bmp", "navora.ico", "icon-play.bmp", "icon-document.bmp",
                              "button-face.bmp"}) {
        fs::copy_file(build / "assets" / asset, disc / asset);
    }
    fs::copy_file(build / "navora.exe", disc / "navora.exe");
    fs::copy_file(build / "demo-setup.exe", disc / "setup.exe");
    const std::string original = Bytes(disc / "navora.xml");

    // The disc's own copy, started from the disc's folder with no options.
    const fs::path exe = disc / "navora.exe";
    std::wstring line = L"\"" + exe.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               disc.wstring().c_str(), &startup, &process));
    const HWND menu = WaitForProcessWindow(process.dwProcessId, L"Navora \u2013 Rundgang");
    ASSERT_NE(menu, nullptr);
    Sleep(500);
    // Every check box's state is written at start: the bytes are exactly the rewrite's.
    EXPECT_EQ(Bytes(disc / "navora.xml"),
              RewriteCheckState(original, L"nichtmehrzeigen", false).value_or("unchanged"));

    const HWND next = FindWindowExW(menu, nullptr, L"Button", L"Weiter zur Installation");
    const HWND box = FindWindowExW(menu, nullptr, L"Button", L"Beim Einlegen nicht mehr zeigen");
    ASSERT_TRUE(next && box);
    // The tooltip strip slides out of the hovered button, tick by tick.
    PointAt(next, 150, 10);
    HWND strip = nullptr;
    while ((strip = FindWindowExW(menu, strip, L"NavoraTipText", nullptr)) != nullptr &&
           !IsWindowVisible(strip)) {
    }
    ASSERT_NE(strip, nullptr);
    Sleep(1000);
    EXPECT_EQ(WidthOf(strip), 240); // fully out

    Click(box);
    EXPECT_EQ(Bytes(disc / "navora.xml"),
              RewriteCheckState(original, L"nichtmehrzeigen", true).value_or("unchanged"));

    Click(next);
    const HWND setup = FindWindowExW(menu, nullptr, L"Button", L"Setup starten");
    ASSERT_NE(setup, nullptr);
    EXPECT_TRUE(IsWindowVisible(setup));
    EXPECT_FALSE(IsWindowVisible(next));

    // The file query finds setup.exe beside the menu, and the menu starts it.
    Click(setup);
    const HWND started = FindWindowW(nullptr, L"Navora Demo-Setup");
    HWND found = started;
    for (int i = 0; i < 200 && found == nullptr; ++i) {
        Sleep(50);
        found = FindWindowW(nullptr, L"Navora Demo-Setup");
    }
    EXPECT_NE(found, nullptr);
    if (found != nullptr) {
        PostMessageW(found, WM_COMMAND, IDOK, 0);
    }
    PostMessageW(menu, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    Sleep(300);
    std::error_code ignored;
    fs::remove_all(disc, ignored);
}

} // namespace
