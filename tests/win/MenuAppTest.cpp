// navora.exe started as a user starts it, checked from outside: window place
// and size, background, and the set-up messages (found, read and closed).
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ProcessWindows.h"

namespace {

namespace fs = std::filesystem;

// navora.exe with a configuration written for the test.
class Menu {
public:
    explicit Menu(const std::string& config, const std::wstring& args = L"") {
        dir_ = fs::temp_directory_path() / ("navora-app-" + std::to_string(++count_));
        fs::create_directories(dir_);
        for (const char* picture : {"background.bmp", "sample-small.bmp"}) {
            fs::copy_file(BuildDirectory() / "assets" / picture, dir_ / picture,
                          fs::copy_options::overwrite_existing);
        }
        std::ofstream(dir_ / "menu.xml", std::ios::binary) << config;
        process_ = std::make_unique<MenuProcess>(
            args.empty() ? L"-cfg " + (dir_ / "menu.xml").wstring() : args, dir_);
    }
    ~Menu() {
        process_.reset();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    HWND Window(const std::wstring& title) const { return process_->Window(title); }
    DWORD WaitForExit() const { return process_->ExitCode(); }

private:
    static inline int count_ = 0;
    fs::path dir_;
    std::unique_ptr<MenuProcess> process_;
};

std::string Config(const std::string& general, const std::string& tooltip = "statictt") {
    return "<?xml version=\"1.0\"?>\n<config>\n  <General caption=\"Testmenu\" " + general +
           "/>\n  <ToolTippConfig tttype=\"" + tooltip +
           "\" width=\"100\" height=\"30\"><TTFont font=\"Arial\"/><StaticTTConfig/>"
           "</ToolTippConfig>\n</config>\n";
}

struct Box {
    std::wstring text;
    bool found = false;
};

// Reads the message box's text, then presses its OK button.
Box ReadAndClose(HWND box) {
    Box result;
    if (box == nullptr) {
        return result;
    }
    wchar_t text[1024] = L"";
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    result = {text, true};
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return result;
}

TEST(MenuWindow, ClientSizeIsTheLargerOfConfiguredSizeAndPicture) {
    const struct {
        std::string general;
        int clientWidth, clientHeight;
    } cases[] = {
        {"background=\"background.bmp\" width=\"600\" height=\"500\"", 640, 500},
        {"background=\"background.bmp\"", 640, 480},
        {"width=\"300\" height=\"200\"", 300, 200},
        {"background=\"missing.bmp\" width=\"300\" height=\"200\"", 300, 200},
    };
    for (const auto& c : cases) {
        const Menu menu(Config(c.general));
        const HWND w = menu.Window(L"Testmenu");
        ASSERT_NE(w, nullptr) << c.general;
        RECT client;
        GetClientRect(w, &client);
        EXPECT_EQ(client.right, c.clientWidth) << c.general;
        EXPECT_EQ(client.bottom, c.clientHeight) << c.general;
    }
}

TEST(MenuWindow, IsPlacedAsConfigured) {
    const int screenWidth = GetSystemMetrics(SM_CXFULLSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYFULLSCREEN);
    const struct {
        std::string general;
        int left, top; // -1: centred on that axis
    } cases[] = {
        {"width=\"300\" height=\"200\" windowpos=\"topleft\" left=\"50\" top=\"60\"", 0, 0},
        {"width=\"300\" height=\"200\" left=\"50\" top=\"60\"", 50, 60},
        {"width=\"300\" height=\"200\" windowpos=\"Center\" left=\"50\" top=\"60\"", 50, 60},
        {"width=\"300\" height=\"200\" windowpos=\"center\"", -1, -1},
        {"width=\"3000\" height=\"200\" windowpos=\"center\"", 0, -1},
    };
    for (const auto& c : cases) {
        const Menu menu(Config(c.general));
        const HWND w = menu.Window(L"Testmenu");
        ASSERT_NE(w, nullptr) << c.general;
        RECT r;
        GetWindowRect(w, &r);
        const int width = r.right - r.left;
        const int height = r.bottom - r.top;
        EXPECT_EQ(r.left, c.left >= 0 ? c.left : (screenWidth - width) / 2) << c.general;
        EXPECT_EQ(r.top, c.top >= 0 ? c.top : (screenHeight - height) / 2) << c.general;
    }
}

TEST(MenuWindow, CaptionBarAndStacking) {
    const Menu plain(Config("width=\"300\" height=\"200\" zorder=\"normal\""));
    const Menu bare(Config("width=\"300\" height=\"200\" title=\"false\" zorder=\"topmost\""));
    const HWND withCaption = plain.Window(L"Testmenu");
    const HWND without = bare.Window(L"Testmenu");
    ASSERT_TRUE(withCaption && without);
    EXPECT_TRUE(GetWindowLongW(withCaption, GWL_STYLE) & WS_CAPTION);
    EXPECT_FALSE(GetWindowLongW(without, GWL_STYLE) & WS_CAPTION);
    RECT outer;
    RECT client;
    GetWindowRect(without, &outer);
    GetClientRect(without, &client);
    // Only the border is added, the same on every side.
    EXPECT_EQ((outer.right - outer.left) - client.right,
              (outer.bottom - outer.top) - client.bottom);
    EXPECT_FALSE(GetWindowLongW(withCaption, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongW(without, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST(MenuWindow, PaintsThePictureOverTheBackgroundColour) {
    const Menu menu(
        Config("background=\"sample-small.bmp\" bgcolor=\"0 160 0\" width=\"300\" height=\"150\""));
    const HWND w = menu.Window(L"Testmenu");
    ASSERT_NE(w, nullptr);
    Sleep(500); // let it paint
    const HDC dc = GetDC(w);
    const COLORREF picture = GetPixel(dc, 10, 10);
    const COLORREF beside = GetPixel(dc, 250, 50);
    const COLORREF below = GetPixel(dc, 100, 130);
    ReleaseDC(w, dc);
    EXPECT_EQ(picture, RGB(200, 30, 40));
    EXPECT_EQ(beside, RGB(0, 160, 0));
    EXPECT_EQ(below, RGB(0, 160, 0));
    PostMessageW(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(menu.WaitForExit(), 0u);
}

TEST(MenuMessages, MissingFileIsReportedAndTheProgramEnds) {
    const Menu menu(Config(""), L"-cfg C:\\nowhere\\Menu.xml");
    const Box box = ReadAndClose(menu.Window(L"Achtung"));
    EXPECT_TRUE(box.found);
    EXPECT_EQ(box.text,
              L"Konfigurationsdatei C:\\nowhere\\Menu.xml \n\rkonnte nicht gefunden werden");
    EXPECT_EQ(menu.WaitForExit(), 0u);
}

TEST(MenuMessages, UnknownTooltipKindIsReportedAndTheProgramEnds) {
    for (const char* kind : {"StaticTT", "", "balloon"}) {
        const Menu menu(Config("width=\"300\" height=\"200\"", kind));
        const Box box = ReadAndClose(menu.Window(L"Achtung!"));
        EXPECT_TRUE(box.found) << kind;
        EXPECT_EQ(box.text, L"Tooltipp-Typ nicht gesetzt");
        EXPECT_EQ(menu.WaitForExit(), 0u) << kind;
    }
}

TEST(MenuMessages, MalformedConfigurationIsReportedAndTheProgramEnds) {
    const Menu menu("<config>\n  <General caption=\"a > b\"/>\n</config>\n");
    wchar_t* expected = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, static_cast<DWORD>(E_INVALIDARG), 0,
                   reinterpret_cast<wchar_t*>(&expected), 0, nullptr);
    std::wstring text = expected != nullptr ? expected : L"";
    LocalFree(expected);
    while (!text.empty() && iswspace(text.back())) {
        text.pop_back();
    }
    const Box box = ReadAndClose(menu.Window(L"navora"));
    EXPECT_TRUE(box.found);
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(menu.WaitForExit(), 0u);
}

} // namespace
