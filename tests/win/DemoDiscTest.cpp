// The demo disc from outside, the way a user meets it: the menu starts from
// its folder, the tooltip slides out, the check box rewrites the file, a page
// switch shows the next page, and "Setup starten" starts the disc's program,
// which reports the choice the check box recorded.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "DemoDisc.h"
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

constexpr const wchar_t* kMenuTitle = L"Navora \u2013 Rundgang";

class DemoDisc : public testing::Test {
protected:
    void SetUp() override {
        AssembleDemoDisc(disc_, true);
        original_ = Bytes(disc_ / "navora.xml");
    }
    void TearDown() override {
        Sleep(300);
        std::error_code ignored;
        fs::remove_all(disc_, ignored);
    }

    // The disc's own copy of `program`, started in the disc's folder.
    bool Start(const wchar_t* program, const std::wstring& args, PROCESS_INFORMATION& process) {
        std::wstring line = L"\"" + (disc_ / program).wstring() + L"\"";
        if (!args.empty()) {
            line += L" " + args;
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              disc_.wstring().c_str(), &startup, &process);
    }

    static bool EndsWithin(PROCESS_INFORMATION& process, DWORD milliseconds) {
        const bool ended = WaitForSingleObject(process.hProcess, milliseconds) == WAIT_OBJECT_0;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return ended;
    }

    const fs::path disc_ = fs::temp_directory_path() / "navora-demo-disc";
    std::string original_;
};

TEST_F(DemoDisc, WorksAsAUserMeetsIt) {
    // Started from the disc's folder with no options.
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(Start(L"navora.exe", L"", process));
    const HWND menu = WaitForProcessWindow(process.dwProcessId, kMenuTitle);
    ASSERT_NE(menu, nullptr);
    Sleep(500);
    // Every check box's state is written at start: the bytes are exactly the rewrite's.
    EXPECT_EQ(Bytes(disc_ / "navora.xml"),
              RewriteCheckState(original_, L"beispieldateien", false).value_or("unchanged"));

    const HWND next = FindWindowExW(menu, nullptr, L"Button", L"Weiter zur Installation");
    const HWND box = FindWindowExW(menu, nullptr, L"Button", L"Beispieldateien mitinstallieren");
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
    EXPECT_EQ(Bytes(disc_ / "navora.xml"),
              RewriteCheckState(original_, L"beispieldateien", true).value_or("unchanged"));

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
        // The setup read the ticked box from the menu's file beside it.
        wchar_t text[512] = L"";
        GetDlgItemTextW(found, 0xFFFF, text, 512); // a message box's text control
        EXPECT_NE(std::wstring(text).find(L"Beispieldateien: ja"), std::wstring::npos) << text;
        PostMessageW(found, WM_COMMAND, IDOK, 0);
    }
    PostMessageW(menu, WM_CLOSE, 0, 0);
    EXPECT_TRUE(EndsWithin(process, 10000));
}

// The choice the setup reports follows the state the menu recorded at start;
// a file that ends after the box's id leaves it unknown.
TEST_F(DemoDisc, SetupReportsTheRecordedChoice) {
    const struct {
        const wchar_t* menuArgs; // nullptr: no menu run, the file is cut after the id
        const char* reported;
    } cases[] = {
        {L"-setchk true", "Beispieldateien: ja\r\n"},
        {L"-setchk false", "Beispieldateien: nein\r\n"},
        {nullptr, "Beispieldateien: unbekannt\r\n"},
    };
    const fs::path marker = disc_ / "marker.txt";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reported);
        PROCESS_INFORMATION process{};
        if (c.menuArgs != nullptr) {
            ASSERT_TRUE(Start(L"navora.exe", c.menuArgs, process));
            const HWND menu = WaitForProcessWindow(process.dwProcessId, kMenuTitle);
            EXPECT_NE(menu, nullptr);
            PostMessageW(menu, WM_CLOSE, 0, 0);
            if (menu == nullptr) {
                TerminateProcess(process.hProcess, 1);
            }
            ASSERT_TRUE(EndsWithin(process, 10000));
        } else {
            const std::string id = " id=\"beispieldateien\"";
            std::ofstream(disc_ / "navora.xml", std::ios::binary)
                << original_.substr(0, original_.find(id) + id.size());
        }
        ASSERT_TRUE(Start(L"setup.exe", L"--marker " + marker.wstring(), process));
        ASSERT_TRUE(EndsWithin(process, 20000));
        const std::string text = Bytes(marker);
        EXPECT_EQ(text.substr(text.find('\n') + 1), c.reported);
    }
}

} // namespace
