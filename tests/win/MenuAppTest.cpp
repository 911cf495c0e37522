// navora.exe started as a user starts it, checked from outside: window place
// and size, background, and the set-up messages (found, read and closed).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ProcessWindows.h"

namespace {

namespace fs = std::filesystem;

// navora.exe with a configuration written for the test, in a folder of its own.
class Menu {
public:
    explicit Menu(const std::string& config, const std::wstring& args = L"")
        : folder_("navora-app") {
        for (const char* picture : {"background.bmp", "sample-small.bmp", "navora.ico"}) {
            fs::copy_file(BuildDirectory() / "assets" / picture, folder_.Path() / picture);
        }
        WriteDamagedPictures();
        folder_.Write("menu.xml", config);
        process_ = std::make_unique<MenuProcess>(
            args.empty() ? L"-cfg " + (folder_.Path() / "menu.xml").wstring() : args,
            folder_.Path());
    }
    HWND Window(const std::wstring& title, int seconds = 20) const {
        return process_->Window(title, seconds);
    }
    std::optional<std::wstring> BoxText(const std::wstring& title, int seconds = 20) const {
        return process_->BoxText(title, seconds);
    }
    DWORD WaitForExit(DWORD milliseconds = 20000) const { return process_->ExitCode(milliseconds); }
    std::string ConfigBytes() const { return folder_.Read("menu.xml"); }

private:
    // Incomplete copies and damaged headers of the good pictures.
    void WriteDamagedPictures() const {
        const std::string bmp = folder_.Read("background.bmp");
        const std::string ico = folder_.Read("navora.ico");
        std::string offset = bmp; // the pixels would start at the file's end
        for (int i = 0; i < 4; ++i) {
            offset[10 + static_cast<std::size_t>(i)] = static_cast<char>(bmp.size() >> (8 * i));
        }
        std::string wide = bmp; // 2^31 - 1 pixels wide
        wide.replace(18, 4, "\xFF\xFF\xFF\x7F", 4);
        folder_.Write("cut.bmp", bmp.substr(0, 100 * 1024));
        folder_.Write("offset.bmp", offset);
        folder_.Write("wide.bmp", wide);
        folder_.Write("cut.ico", ico.substr(0, ico.size() / 2));
    }

    TempFolder folder_;
    std::unique_ptr<MenuProcess> process_; // ended before the folder is removed
};

std::string Config(const std::string& general, const std::string& tooltip = "statictt") {
    return "<?xml version=\"1.0\"?>\n<config>\n  <General caption=\"Testmenu\" " + general +
           "/>\n  <ToolTippConfig tttype=\"" + tooltip +
           "\" width=\"100\" height=\"30\"><TTFont font=\"Arial\"/><StaticTTConfig/>"
           "</ToolTippConfig>\n</config>\n";
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
        // A damaged picture counts as missing: before, the system's loader crashed the menu.
        {"background=\"cut.bmp\" width=\"300\" height=\"200\"", 300, 200},
        {"background=\"offset.bmp\" width=\"300\" height=\"200\"", 300, 200},
        {"background=\"wide.bmp\" width=\"300\" height=\"200\"", 300, 200},
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

// Sizes and positions from the file at int's ends: the window keeps a sane size and
// is moved onto the work area when it would lie wholly outside it.
TEST(MenuWindow, ExtremeSizesAndPositionsStayOnTheWorkArea) {
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    constexpr int kEdge = -100000;
    const struct {
        std::string general;
        int left, top; // from the work area's corner; kEdge: at its right or bottom edge
        int minClientWidth, maxClientWidth;
    } cases[] = {
        {"width=\"-5000\" height=\"-5000\" left=\"-300\" top=\"-300\"", 0, 0, 0, 0},
        {"width=\"2147483647\" height=\"2147483647\" left=\"2147483647\" top=\"2147483647\"", 0, 0,
         1024, 32767},
        {"width=\"300\" height=\"200\" left=\"5000\" top=\"-2147483648\"", kEdge, 0, 300, 300},
        {"width=\"300\" height=\"200\" left=\"-200\" top=\"2147483647\"", 0, kEdge, 300, 300},
        {"width=\"300\" height=\"200\" left=\"-200\" top=\"-100\"", -200, -100, 300, 300},
    };
    for (const auto& c : cases) {
        const Menu menu(Config(c.general));
        const HWND w = menu.Window(L"Testmenu");
        ASSERT_NE(w, nullptr) << c.general;
        RECT r;
        RECT client;
        GetWindowRect(w, &r);
        GetClientRect(w, &client);
        EXPECT_EQ(r.left, c.left != kEdge ? work.left + c.left : work.right - (r.right - r.left))
            << c.general;
        EXPECT_EQ(r.top, c.top != kEdge ? work.top + c.top : work.bottom - (r.bottom - r.top))
            << c.general;
        EXPECT_GE(client.right, c.minClientWidth) << c.general;
        EXPECT_LE(client.right, c.maxClientWidth) << c.general;
    }
}

// Pixels of the icon's blue in the window's top-left corner, where the caption bar
// shows the small icon.
int IconPixels(HWND w) {
    constexpr COLORREF kIconBlue = RGB(20, 60, 140);
    RECT r;
    GetWindowRect(w, &r);
    const HDC screen = GetDC(nullptr);
    int blue = 0;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 24; ++x) {
            blue += GetPixel(screen, r.left + x, r.top + y) == kIconBlue;
        }
    }
    ReleaseDC(nullptr, screen);
    return blue;
}

// The window's icon from its file; a damaged icon file counts as missing.
TEST(MenuWindow, IconFromItsFileOrNoneWhenDamaged) {
    const Menu good(Config("width=\"300\" height=\"200\" icon=\"navora.ico\" left=\"10\""));
    const Menu damaged(Config("width=\"300\" height=\"200\" icon=\"cut.ico\" left=\"400\""));
    const HWND g = good.Window(L"Testmenu");
    const HWND d = damaged.Window(L"Testmenu");
    ASSERT_TRUE(g && d);
    Sleep(500); // let them paint
    EXPECT_GT(IconPixels(g), 50);
    EXPECT_EQ(IconPixels(d), 0);
}

// The program's own icon (its larger images PNG-compressed) at each size it holds: a blue
// rounded square with a white ring, drawn over black.
TEST(MenuWindow, ProgramIconAtEverySize) {
    const HMODULE program =
        LoadLibraryExW(MenuProgram().wstring().c_str(), nullptr,
                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr);
    for (const int size : {16, 32, 48}) {
        const HICON icon = static_cast<HICON>(
            LoadImageW(program, MAKEINTRESOURCEW(128), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr) << size;
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), size, -size, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        const HBITMAP canvas = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HDC dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ old = SelectObject(dc, canvas);
        PatBlt(dc, 0, 0, size, size, BLACKNESS);
        DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
        GdiFlush();
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        const auto at = [&](int x, int y) { return pixels[y * size + x] & 0xFFFFFF; };
        const auto similar = [](std::uint32_t got, std::uint32_t want) {
            for (int shift = 0; shift < 24; shift += 8) {
                if (std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)) > 40) {
                    return false;
                }
            }
            return true;
        };
        const std::uint32_t blue = 0x143C8C; // 20 60 140 as 0xRRGGBB
        EXPECT_TRUE(similar(at(size / 2, size / 2), blue))
            << size << ": " << at(size / 2, size / 2);
        EXPECT_TRUE(similar(at(size / 2 + size * 23 / 100, size / 2), 0xFFFFFF)) << size;
        EXPECT_TRUE(similar(at(1, size / 2), blue)) << size;
        EXPECT_EQ(at(0, 0), 0u) << size; // outside the rounded corner
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(canvas);
        DestroyIcon(icon);
    }
    FreeLibrary(program);
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
    EXPECT_EQ(menu.BoxText(L"Achtung"),
              L"Konfigurationsdatei C:\\nowhere\\Menu.xml \n\rkonnte nicht gefunden werden");
    EXPECT_EQ(menu.WaitForExit(), 0u);
}

TEST(MenuMessages, UnknownTooltipKindIsReportedAndTheProgramEnds) {
    for (const char* kind : {"StaticTT", "", "balloon"}) {
        const Menu menu(Config("width=\"300\" height=\"200\"", kind));
        EXPECT_EQ(menu.BoxText(L"Achtung!"), L"Tooltipp-Typ nicht gesetzt") << kind;
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
    EXPECT_EQ(menu.BoxText(L"navora"), text);
    EXPECT_EQ(menu.WaitForExit(), 0u);
}

// A menu that stops during set-up has written nothing: the check boxes built before the stop
// keep their value in the file, as do those after it.
TEST(MenuMessages, CheckBoxesBuiltBeforeASetUpStopWriteNothing) {
    const auto box = [](const char* id) {
        return std::string("<C id=\"") + id +
               "\"><ButtonLayout type=\"checkbox\" caption=\"Box\" width=\"100\" height=\"20\" "
               "defaultval=\"true\" currentval=\"x\"/></C>";
    };
    const std::string head = "<config><General caption=\"Testmenu\" width=\"300\" "
                             "height=\"200\"/><ToolTippConfig tttype=\"statictt\"/><Pages><Page>" +
                             box("a") + box("b");
    const std::string noCaption = "<D><ButtonLayout caption=\"\"/></D>";
    const struct {
        std::string pages;
        const wchar_t* caption;
        const wchar_t* text;
    } cases[] = {
        {noCaption + box("c") + "</Page>", L"Achtung",
         L"Caption f\u00fcr Button wurde nicht gesetzt"},
        {"</Page><Page>" + box("c") + noCaption + "</Page>", L"Achtung",
         L"Caption f\u00fcr Button wurde nicht gesetzt"},
    };
    for (const auto& c : cases) {
        const std::string config = head + c.pages + "</Pages></config>";
        const Menu menu(config);
        EXPECT_EQ(menu.BoxText(c.caption), c.text);
        EXPECT_EQ(menu.WaitForExit(), 0u);
        EXPECT_EQ(menu.ConfigBytes(), config);
    }
}

// Only the first page's controls are made before the window shows; the later pages follow
// once it is painted, with their check boxes' start states already in the one rewrite. A
// later control without caption still stops the set-up before the window is seen.
TEST(MenuMessages, LaterPagesFollowTheShownFirstPage) {
    const auto page = [](const char* caption, const char* id) {
        return std::string("<Page><B><ButtonLayout caption=\"") + caption +
               "\" width=\"60\" height=\"20\"/></B><C id=\"" + id +
               "\"><ButtonLayout type=\"checkbox\" caption=\"Box\" width=\"100\" height=\"20\" "
               "defaultval=\"true\" currentval=\"x\"/></C></Page>";
    };
    const std::string head = "<config><General caption=\"Testmenu\" width=\"300\" "
                             "height=\"200\"/><ToolTippConfig tttype=\"buttontt\"/><Pages>";
    {
        const Menu menu(head + page("Eins", "a") + page("Zwei", "b") + page("Drei", "c") +
                        "</Pages></config>");
        const HWND dialog = menu.Window(L"Testmenu");
        ASSERT_NE(dialog, nullptr);
        const std::string file = menu.ConfigBytes();
        for (const char* id : {"\"a\"", "\"b\"", "\"c\""}) {
            EXPECT_NE(file.find(std::string("id=") + id +
                                "><ButtonLayout type=\"checkbox\" caption=\"Box\" width=\"100\" "
                                "height=\"20\" defaultval=\"true\" currentval=\"true\""),
                      std::string::npos)
                << id << file;
        }
        HWND third = nullptr;
        WaitUntil(
            [&] { return (third = FindWindowExW(dialog, nullptr, L"Button", L"Drei")) != nullptr; },
            2000, 20);
        ASSERT_NE(third, nullptr);
        EXPECT_FALSE(IsWindowVisible(third));
        EXPECT_TRUE(IsWindowVisible(FindWindowExW(dialog, nullptr, L"Button", L"Eins")));
    }
    {
        // Clicked as soon as the window shows, maybe before the later pages were due: the
        // next page appears all the same.
        const Menu menu(head +
                        "<Page><N><ButtonLayout caption=\"Weiter\" width=\"60\" height=\"20\"/>"
                        "<Command type=\"weiter\"/></N></Page>" +
                        page("Zwei", "b") + "</Pages></config>");
        const HWND dialog = menu.Window(L"Testmenu");
        ASSERT_NE(dialog, nullptr);
        const HWND next = FindWindowExW(dialog, nullptr, L"Button", L"Weiter");
        ASSERT_NE(next, nullptr);
        PostMessageW(next, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(next, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        HWND second = nullptr;
        WaitUntil(
            [&] {
                second = FindWindowExW(dialog, nullptr, L"Button", L"Zwei");
                return second != nullptr && IsWindowVisible(second);
            },
            2000, 20);
        ASSERT_NE(second, nullptr);
        EXPECT_TRUE(IsWindowVisible(second));
        EXPECT_FALSE(IsWindowVisible(next));
    }
    const Menu menu(head + page("Eins", "a") + page("", "b") + "</Pages></config>");
    EXPECT_EQ(menu.BoxText(L"Achtung"), L"Caption f\u00fcr Button wurde nicht gesetzt");
    EXPECT_EQ(menu.Window(L"Testmenu", 0), nullptr); // looked for once the box was read
    EXPECT_EQ(menu.WaitForExit(), 0u);
}

// With nothing left to build after the first page, the later pages' timer is killed. A
// message hook loaded into the menu counts what its thread takes from its queue.
TEST(MenuMessages, TheLaterPagesTimerStopsWhenTheyAreEmpty) {
    const HMODULE hook = LoadLibraryW((BuildDirectory() / "tests" / "timer_hook.dll").c_str());
    ASSERT_NE(hook, nullptr);
    const auto count =
        reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(hook, "CountMessages")));
    const HANDLE shared = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                             2 * sizeof(LONG), L"navora-timer-counts");
    auto* counts = static_cast<volatile LONG*>(MapViewOfFile(shared, FILE_MAP_WRITE, 0, 0, 0));
    ASSERT_NE(counts, nullptr);
    const Menu menu("<config><General caption=\"Testmenu\" width=\"300\" height=\"200\"/>"
                    "<ToolTippConfig tttype=\"buttontt\"/><Pages><Page><B><ButtonLayout "
                    "caption=\"Eins\" width=\"60\" height=\"20\"/></B></Page><Page/><Page/>"
                    "</Pages></config>");
    const HWND dialog = menu.Window(L"Testmenu");
    ASSERT_NE(dialog, nullptr);
    const HHOOK installed =
        SetWindowsHookExW(WH_GETMESSAGE, count, hook, GetWindowThreadProcessId(dialog, nullptr));
    ASSERT_NE(installed, nullptr);
    PostMessageW(dialog, WM_NULL, 0, 0); // the hook counts from here
    Sleep(1000);
    EXPECT_GT(counts[0], 0); // the hook ran in the menu
    EXPECT_EQ(counts[1], 0);
    UnhookWindowsHookEx(installed);
    UnmapViewOfFile(const_cast<LONG*>(counts));
    CloseHandle(shared);
}

// Page names are free: a page named "config" does not end the file for the rewrite.
TEST(MenuMessages, APageNamedConfigSurvivesTheStart) {
    const std::string pages =
        "<Pages>\n<config><C id=\"a\"><ButtonLayout type=\"checkbox\" caption=\"Box\" "
        "width=\"100\" height=\"20\" defaultval=\"true\" currentval=\"false\"/></C>"
        "<N><ButtonLayout caption=\"Weiter\" width=\"60\" height=\"20\"/>"
        "<Command type=\"weiter\"/></N></config>\n<Page2><B><ButtonLayout caption=\"Zwei\" "
        "width=\"60\" height=\"20\"/></B></Page2>\n</Pages>\n";
    const Menu menu("<config>\n<General caption=\"Testmenu\" width=\"300\" height=\"200\"/>\n"
                    "<ToolTippConfig tttype=\"statictt\"/>\n" +
                    pages + "</config>\n");
    ASSERT_NE(menu.Window(L"Testmenu"), nullptr);
    const std::string file = menu.ConfigBytes();
    EXPECT_NE(file.find("defaultval=\"true\" currentval=\"true\""), std::string::npos) << file;
    EXPECT_NE(file.find("<Page2><B><ButtonLayout caption=\"Zwei\""), std::string::npos) << file;
    const std::string end = "</Pages>\r\n</config>";
    EXPECT_EQ(file.substr(file.size() - std::min(file.size(), end.size())), end) << file;
}

// More controls than the menu may make windows for: set-up stops at the first that
// cannot be made, with a message, instead of going on with a control without a window; the
// check box made before it has written nothing.
TEST(MenuMessages, ControlThatCannotBeMadeStopsSetUp) {
    std::string controls = "<C id=\"a\"><ButtonLayout type=\"checkbox\" caption=\"Box\" "
                           "width=\"100\" height=\"20\" currentval=\"x\"/></C>";
    for (int i = 0; i < 9000; ++i) {
        controls += "<B><ButtonLayout caption=\"b\" width=\"10\" height=\"10\"/></B>";
    }
    const std::string config =
        "<config><General caption=\"Testmenu\" width=\"300\" "
        "height=\"200\"/><ToolTippConfig tttype=\"statictt\"/><Pages><Page>" +
        controls + "</Page></Pages></config>";
    const Menu menu(config);
    // Under Wine every window call is a round trip to its server: thousands of windows take
    // tens of seconds to make and to destroy.
    EXPECT_EQ(menu.BoxText(L"Achtung", 120), L"Button konnte nicht erstellt werden");
    EXPECT_EQ(menu.WaitForExit(120000), 0u);
    EXPECT_EQ(menu.ConfigBytes(), config);
}

} // namespace
