// The vocabulary beyond the classic format in the real navora.exe: copied onto a "disc"
// folder with its configuration beside it and started from another folder, as from a
// desktop shortcut; clicked by real input and checked by its message boxes and the files
// its programs leave.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <tlhelp32.h>
#include <wincodec.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ProcessWindows.h"

namespace {

namespace fs = std::filesystem;

std::string Utf8(const std::wstring& text) {
    std::string out(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1,
                                                                 nullptr, 0, nullptr, nullptr)),
                    '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()),
                        nullptr, nullptr);
    out.pop_back();
    return out;
}

// Page of buttons "A", "B", ... each running the chain given for it.
std::string Menu(const std::string& chains, const std::string& extra = "") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<config>\n"
           "<General caption=\"Zusatz\" width=\"400\" height=\"300\" windowpos=\"topleft\" "
           "bgcolor=\"0 0 80\"/>\n<ToolTippConfig tttype=\"statictt\" width=\"100\" height=\"20\">"
           "<TTFont font=\"Arial\"/></ToolTippConfig>\n" +
           extra +
           "<ButtonConfig><ButtonLayout width=\"120\" height=\"30\" bgcolor=\"200 100 50\"/>"
           "<Font font=\"Arial\" fontsize=\"12\"/></ButtonConfig>\n<Pages><Page>\n" +
           chains + "</Page></Pages>\n</config>\n";
}

std::string Button(const char* caption, int top, const std::string& chain) {
    return std::string("<") + caption + "><ButtonPosition left=\"20\" top=\"" +
           std::to_string(top) + "\"/><ButtonLayout caption=\"" + caption + "\"/>" + chain + "</" +
           caption + ">\n";
}

std::string Box(const char* caption, const char* message = "ok") {
    return std::string("<Command type=\"showmessage\"><ShowMessageCommandConfig caption=\"") +
           caption + "\" message=\"" + message + "\"/></Command>";
}

// A disc folder with navora.exe, its navora.xml and the helper program, started from a
// folder of its own.
class Disc : public MenuTest {
protected:
    // `files`: more files by name and bytes, in the folder the menu starts in, where relative
    // picture paths lead; `links`: hard links there, by name and the file's name.
    void Start(const std::string& config,
               const std::vector<std::pair<std::string, std::string>>& files = {},
               const std::vector<std::pair<std::string, std::string>>& links = {}) {
        const fs::path& folder = NewFolder("navora-disc");
        disc_ = folder / "disc";
        elsewhere_ = folder / "elsewhere";
        fs::create_directories(disc_);
        fs::create_directories(elsewhere_);
        fs::copy_file(MenuProgram(), disc_ / "navora.exe");
        fs::copy_file(BuildDirectory() / "tests/exit_with.exe", disc_ / "exit_with.exe");
        std::ofstream(disc_ / "navora.xml", std::ios::binary) << config;
        std::ofstream(disc_ / "marker.txt") << "x";
        for (const auto& [file, bytes] : files) {
            std::ofstream(elsewhere_ / file, std::ios::binary) << bytes;
        }
        for (const auto& [link, file] : links) {
            ASSERT_TRUE(
                CreateHardLinkW((elsewhere_ / link).c_str(), (elsewhere_ / file).c_str(), nullptr));
        }
        Launch(L"", elsewhere_, L"Zusatz", disc_ / "navora.exe");
    }
    // A real click on the centre of the button with that caption.
    void Press(const wchar_t* caption) const {
        const HWND button = FindWindowExW(dialog_, nullptr, L"Button", caption);
        ASSERT_NE(button, nullptr);
        PointAt(button, 60, 15, 100);
        MouseButton(true, 0);
        MouseButton(false, 200);
    }
    // The text of the message box with that title, which is then closed; empty without one.
    std::wstring BoxText(const wchar_t* title, int seconds = 10) const {
        return process_->BoxText(title, seconds).value_or(L"");
    }
    // A visible box of the menu's process other than those titled `except`; none after 10 s.
    HWND OtherBox(const wchar_t* except = L"") const {
        HWND found = nullptr;
        WaitUntil(
            [&] {
                for (const auto& [box, title] : VisibleBoxesOf(process_->Id())) {
                    if (box != dialog_ && title != except) {
                        found = box;
                        break;
                    }
                }
                return found != nullptr;
            },
            10000, 100);
        return found;
    }
    // The same after a failed launch: the shell reports it first in a box of its own, closed.
    std::wstring BoxTextAfterTheShells(const wchar_t* title) const {
        std::wstring text;
        WaitUntil(
            [&] {
                if (process_->Window(title, 0) != nullptr) {
                    text = BoxText(title, 0);
                    return true;
                }
                for (const auto& [box, boxTitle] : VisibleBoxesOf(process_->Id())) {
                    if (box != dialog_) {
                        PostMessageW(box, WM_COMMAND, IDOK, 0);
                    }
                }
                return false;
            },
            10000, 100);
        return text;
    }

    fs::path disc_;
    fs::path elsewhere_;
};

TEST_F(Disc, VariablesNameTheMenusFolderAndTheEnvironment) {
    SetEnvironmentVariableW(L"NAVORA_TEST_VALUE", L"aus-der-Umgebung");
    Start(Menu(
        Button("Mit", 20,
               "<Query type=\"file\"><FileQueryConfig path=\"%MENUDIR%\\marker.txt\"/>"
               "<Positiv>" +
                   Box("Gefunden") + "</Positiv><Negativ>" + Box("Fehlt") + "</Negativ></Query>") +
        Button("Ohne", 60,
               "<Query type=\"file\"><FileQueryConfig path=\"marker.txt\"/><Positiv>" +
                   Box("Gefunden") + "</Positiv><Negativ>" + Box("Fehlt") + "</Negativ></Query>") +
        Button("Absolut", 100,
               "<Query type=\"file\"><FileQueryConfig path=\"marker.txt\" "
               "makeabsolute=\"true\"/><Positiv>" +
                   Box("Gefunden") + "</Positiv><Negativ>" + Box("Fehlt") + "</Negativ></Query>") +
        Button("Lauf", 140,
               "<Command type=\"exec\"><ExecCommandConfig path=\"%MENUDIR%\\exit_with.exe\" "
               "parameter=\"0 0 %MENUDIR%\\ran.txt %NAVORA_TEST_VALUE% %NICHT_GESETZT%\" "
               "wait=\"true\"/>" +
                   Box("Fertig") + "</Command>")));
    // The menu's folder, wherever the menu was started from; the current folder is elsewhere.
    Press(L"Mit");
    EXPECT_EQ(BoxText(L"Gefunden"), L"ok");
    Press(L"Ohne");
    EXPECT_EQ(BoxText(L"Fehlt"), L"ok");
    Press(L"Absolut");
    EXPECT_EQ(BoxText(L"Gefunden"), L"ok");
    // Path and parameter: the folder and an environment variable put in, an unset one kept.
    Press(L"Lauf");
    EXPECT_EQ(BoxText(L"Fertig"), L"ok");
    std::ifstream raw(disc_ / "ran.txt", std::ios::binary);
    const std::string record((std::istreambuf_iterator<char>(raw)), {});
    std::wstring line(record.size() / 2, L'\0');
    std::memcpy(line.data(), record.data(), line.size() * 2);
    EXPECT_NE(line.find(disc_.wstring() + L"\\ran.txt aus-der-Umgebung %NICHT_GESETZT%"),
              std::wstring::npos)
        << Utf8(line);
}

TEST_F(Disc, TheChainWaitsForTheProgramAndReadsItsExitCode) {
    const std::string exitCode = "<Query type=\"exitcode\"><ExitCodeQueryConfig value=\"7\"/>"
                                 "<Positiv>" +
                                 Box("Sieben") + "</Positiv><Negativ>" + Box("Anders") +
                                 "</Negativ></Query>";
    Start(Menu(Button("Warten", 20,
                      "<Command type=\"exec\"><ExecCommandConfig path=\"%MENUDIR%\\exit_with.exe\" "
                      "parameter=\"7 2000\" wait=\"true\"/>" +
                          exitCode + "</Command>") +
               Button("Sofort", 60,
                      "<Command type=\"exec\"><ExecCommandConfig path=\"%MENUDIR%\\exit_with.exe\" "
                      "parameter=\"7 0\"/>" +
                          exitCode + "</Command>") +
               Button("Admin", 100,
                      "<Command type=\"exec\"><ExecCommandConfig path=\"%MENUDIR%\\exit_with.exe\" "
                      "parameter=\"7 0\" elevate=\"true\" wait=\"true\"/>" +
                          exitCode + "</Command>") +
               Button("Melden", 140, Box("Nachricht"))));
    Press(L"Warten");
    // While the program runs the window paints, but a click reaches no button.
    InvalidateRect(dialog_, nullptr, TRUE);
    Sleep(300);
    EXPECT_FALSE(GetUpdateRect(dialog_, nullptr, FALSE));
    // The click arrives as the input queue delivers it, whatever the pointer's way there.
    const HWND melden = FindWindowExW(dialog_, nullptr, L"Button", L"Melden");
    PostMessageW(melden, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 15));
    PostMessageW(melden, WM_LBUTTONUP, 0, MAKELPARAM(60, 15));
    EXPECT_EQ(process_->Window(L"Nachricht", 1), nullptr);
    EXPECT_EQ(BoxText(L"Sieben"), L"ok");
    EXPECT_EQ(process_->Window(L"Nachricht", 1), nullptr); // the click was not kept for later
    // Not waited for: no exit code to read.
    Press(L"Sofort");
    EXPECT_EQ(BoxText(L"Anders"), L"ok");
    // Started with the administrator verb, and waited for as well.
    Press(L"Admin");
    EXPECT_EQ(BoxText(L"Sieben"), L"ok");
}

TEST_F(Disc, RightsAndBitnessAreTheSystems) {
    // One value under the same key in the registry's 64-bit view and in its 32-bit one.
    const wchar_t* const key = L"SOFTWARE\\NavoraView";
    for (const auto& [view, text] : {std::pair{KEY_WOW64_64KEY, L"64"}, {KEY_WOW64_32KEY, L"32"}}) {
        HKEY opened = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE | view,
                                  nullptr, &opened, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(opened, L"view", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 6);
        RegCloseKey(opened);
    }
    Start(Menu(Button("Rechte", 20,
                      "<Query type=\"admin\"><Positiv>" + Box("Administrator") +
                          "</Positiv><Negativ>" + Box("Benutzer") + "</Negativ></Query>") +
               Button("Bits", 60,
                      "<Query type=\"os64\"><Positiv>" + Box("64") + "</Positiv><Negativ>" +
                          Box("32") + "</Negativ></Query>") +
               Button("Ansicht", 100,
                      "<Query type=\"registry\"><RegistryQueryConfig hkey=\"HKEY_LOCAL_MACHINE\" "
                      "key=\"SOFTWARE\\NavoraView\" wert=\"view\" value=\"64\" type=\"REG_SZ\"/>"
                      "<Positiv>" +
                          Box("64") + "</Positiv><Negativ>" + Box("32") + "</Negativ></Query>")));
    // The shell's own answer, asked independently of the menu's token check.
    Press(L"Rechte");
    EXPECT_EQ(BoxText(IsUserAnAdmin() ? L"Administrator" : L"Benutzer"), L"ok");
    // Windows is 64-bit here, for the 32-bit build as for the 64-bit one.
    Press(L"Bits");
    EXPECT_EQ(BoxText(L"64"), L"ok");
    // Both builds read the 64-bit view, where 64-bit programs and installers register.
    Press(L"Ansicht");
    EXPECT_EQ(BoxText(L"64"), L"ok");
    for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, key, view, 0);
    }
}

TEST_F(Disc, TheFilesOwnMessagesNameTheStepThatFailed) {
    Start(
        Menu(Button("Fehlt", 20,
                    "<Command type=\"exec\"><ExecCommandConfig path=\"%MENUDIR%\\fehlt.exe\"/>"
                    "</Command>") +
                 Button("Typ", 60, "<Command type=\"weiter\"><Command type=\"stopp\"/></Command>"),
             "<Messages chainwarning=\"Konnte %WHAT% nicht starten.\" "
             "chainwarningcaption=\"Setup\"/>\n"));
    Press(L"Fehlt");
    EXPECT_EQ(BoxTextAfterTheShells(L"Setup"),
              L"Konnte " + disc_.wstring() + L"\\fehlt.exe nicht starten.");
    Press(L"Typ");
    EXPECT_EQ(BoxText(L"Setup"), L"Konnte type=\"stopp\" nicht starten.");
}

// The helper programs that process `parent` started and that still run.
std::vector<DWORD> ChildProcesses(DWORD parent) {
    std::vector<DWORD> children;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == parent &&
            lstrcmpiW(entry.szExeFile, L"exit_with.exe") == 0) {
            children.push_back(entry.th32ProcessID);
        }
    }
    CloseHandle(snapshot);
    return children;
}

enum class CloseBy { CloseBox, AltF4, Taskbar };

// A real click on the window's close box, real keys Alt+F4, or the taskbar's "Close". The
// started program's console window comes in front: first the menu is brought back, as by a
// click on its taskbar button.
void CloseAsTheUserDoes(HWND window, CloseBy way) {
    Sleep(500);
    SetForegroundWindow(window);
    Sleep(200);
    if (way == CloseBy::CloseBox) {
        RECT r;
        GetWindowRect(window, &r);
        const int y = r.top + GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
        for (int x = r.right - 1; x > r.right - 80; --x) {
            if (SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
                SetCursorPos(x, y);
                Sleep(100);
                mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
                mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
                return;
            }
        }
        ADD_FAILURE() << "no close box";
    } else if (way == CloseBy::AltF4) {
        INPUT keys[4]{};
        const WORD order[] = {VK_MENU, VK_F4, VK_F4, VK_MENU};
        for (int i = 0; i < 4; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = order[i];
            keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
        }
        SendInput(4, keys, sizeof(INPUT));
    } else {
        PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

// Closing the menu while it waits ends it at once; the program goes on, the chain does not.
TEST_F(Disc, ClosingWhileWaitingEndsTheMenuAndNothingMore) {
    for (const CloseBy way : {CloseBy::CloseBox, CloseBy::AltF4, CloseBy::Taskbar}) {
        SCOPED_TRACE(static_cast<int>(way));
        Start(
            Menu(Button("Warten", 20,
                        "<Command type=\"exec\"><ExecCommandConfig "
                        "path=\"%MENUDIR%\\exit_with.exe\" parameter=\"0 60000\" wait=\"true\"/>"
                        "<Command type=\"exec\"><ExecCommandConfig "
                        "path=\"%MENUDIR%\\exit_with.exe\" parameter=\"0 0 %MENUDIR%\\after.txt\"/>"
                        "</Command></Command>")));
        Press(L"Warten");
        CloseAsTheUserDoes(dialog_, way);
        EXPECT_TRUE(process_->EndsWithin(10000));
        const std::vector<DWORD> running = ChildProcesses(process_->Id());
        EXPECT_EQ(running.size(), 1u);
        Sleep(500);
        EXPECT_FALSE(fs::exists(disc_ / "after.txt"));
        for (const DWORD id : running) {
            const HANDLE child = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
            TerminateProcess(child, 0);
            WaitForSingleObject(child, 5000);
            CloseHandle(child);
        }
        Stop();
    }
}

// The shell's report of a failed launch and the warning after it are modal to the menu: a
// click meanwhile starts no second chain, then or later.
TEST_F(Disc, BoxesOfAChainAreModalToTheMenu) {
    Start(Menu(Button("Fehlt", 20,
                      "<Command type=\"exec\"><ExecCommandConfig path=\"%MENUDIR%\\fehlt.exe\"/>"
                      "</Command>") +
               Button("Zweite", 60, Box("Zweite"))));
    Press(L"Fehlt");
    for (const bool shells : {true, false}) {
        const HWND box = shells ? OtherBox(L"Achtung") : process_->Window(L"Achtung");
        ASSERT_NE(box, nullptr) << shells;
        EXPECT_EQ(GetWindow(box, GW_OWNER), dialog_) << shells;
        EXPECT_FALSE(IsWindowEnabled(dialog_)) << shells;
        Press(L"Zweite");
        EXPECT_EQ(process_->Window(L"Zweite", 1), nullptr) << shells;
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
    EXPECT_EQ(process_->Window(L"Zweite", 1), nullptr);
}

// Paths and parameters longer than Windows takes fail the step before the shell sees them.
TEST_F(Disc, TooLongLaunchesFailWithoutTheShell) {
    SetEnvironmentVariableW(L"NAVORA_LONG", std::wstring(300, L'v').c_str());
    const std::string name(1000, 'a');
    Start(Menu(Button("Pfad", 20,
                      "<Command type=\"exec\"><ExecCommandConfig path=\"%MENUDIR%\\" + name +
                          ".exe\"/></Command>") +
                   Button("Variable", 60,
                          "<Command type=\"exec\"><ExecCommandConfig "
                          "path=\"%NAVORA_LONG%\\x.exe\"/></Command>") +
                   Button("Parameter", 100,
                          "<Command type=\"exec\"><ExecCommandConfig "
                          "path=\"%MENUDIR%\\exit_with.exe\" parameter=\"" +
                              std::string(33000, 'p') + "\"/></Command>"),
               "<Messages chainwarning=\"Konnte %WHAT% nicht starten.\" "
               "chainwarningcaption=\"Setup\"/>\n"));
    const std::wstring disc = disc_.wstring() + L"\\";
    const std::pair<const wchar_t*, std::wstring> cases[] = {
        {L"Pfad", disc + std::wstring(name.begin(), name.end()) + L".exe"},
        {L"Variable", std::wstring(300, L'v') + L"\\x.exe"},
        {L"Parameter", disc + L"exit_with.exe"},
    };
    for (const auto& [button, what] : cases) {
        Press(button);
        EXPECT_TRUE(BoxText(L"Setup") == L"Konnte " + what + L" nicht starten.") << Utf8(button);
    }
}

// A message box shows at most 4,096 characters, the last of them "…".
TEST_F(Disc, HugeMessageTextsAreCut) {
    std::string many;
    for (int i = 0; i < 1000; ++i) {
        many += "%WHAT%";
    }
    Start(Menu(Button("Riesig", 20, Box("Riesig", std::string(1 << 20, 'x').c_str())) +
                   Button("Typ", 60, "<Command type=\"" + std::string(30000, 't') + "\"/>"),
               "<Messages chainwarning=\"" + many + "\" chainwarningcaption=\"Setup\"/>\n"));
    Press(L"Riesig");
    const std::wstring message = BoxText(L"Riesig");
    EXPECT_TRUE(message == std::wstring(4095, L'x') + L"\u2026") << message.size();
    Press(L"Typ");
    const std::wstring warning = BoxText(L"Setup");
    EXPECT_TRUE(warning == L"type=\"" + std::wstring(4089, L't') + L"\u2026") << warning.size();
}

TEST(DiscMessages, SetUpMessagesInTheFilesWords) {
    const TempFolder folder("navora-disc-messages");
    const fs::path& dir = folder.Path();
    const std::string messages =
        "<Messages notooltiptype=\"No tooltip kind\" notooltiptypecaption=\"Menu\" "
        "nocaption=\"A button has no caption\"/>";
    std::ofstream(dir / "tip.xml", std::ios::binary)
        << "<config><General caption=\"Zusatz\"/>" + messages +
               "<ToolTippConfig tttype=\"balloon\"/></config>";
    std::ofstream(dir / "caption.xml", std::ios::binary)
        << "<config><General caption=\"Zusatz\"/>" + messages +
               "<ToolTippConfig tttype=\"statictt\"><TTFont font=\"Arial\"/></ToolTippConfig>"
               "<Pages><Page><A><ButtonLayout/></A></Page></Pages></config>";
    const struct {
        const wchar_t* file;
        const wchar_t* title;
        const wchar_t* text;
    } cases[] = {
        {L"tip.xml", L"Menu", L"No tooltip kind"},
        {L"caption.xml", L"Achtung", L"A button has no caption"},
    };
    for (const auto& c : cases) {
        const MenuProcess menu(L"-cfg " + (dir / c.file).wstring(), dir);
        const HWND box = menu.Window(c.title);
        ASSERT_NE(box, nullptr) << Utf8(c.file);
        EXPECT_EQ(ReadAndCloseBox(box), c.text);
        EXPECT_EQ(menu.ExitCode(), 0u);
    }
}

// A bitmap file: its headers, then the colour table (4 bytes an entry) and the pixel bytes.
std::string BitmapFileOf(int width, int height, WORD bitCount, DWORD compression,
                         const std::string& table, const std::string& pixels) {
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    file.bfType = 0x4D42;
    file.bfOffBits = static_cast<DWORD>(sizeof file + sizeof info + table.size());
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = bitCount;
    info.biCompression = compression;
    info.biSizeImage = static_cast<DWORD>(pixels.size());
    info.biClrUsed = static_cast<DWORD>(table.size() / 4);
    return std::string(reinterpret_cast<const char*>(&file), sizeof file) +
           std::string(reinterpret_cast<const char*>(&info), sizeof info) + table + pixels;
}

// A 24-bit bitmap file, each pixel coloured by `colour(x, y)` (y = 0 the top row).
template <typename Colour> std::string BitmapFile(int width, int height, Colour colour) {
    const int stride = (width * 3 + 3) & ~3;
    std::string pixels;
    for (int y = height - 1; y >= 0; --y) {
        std::string row(static_cast<std::size_t>(stride), '\0');
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colour(x, y);
            row[static_cast<std::size_t>(x) * 3] = static_cast<char>(GetBValue(c));
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<char>(GetGValue(c));
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<char>(GetRValue(c));
        }
        pixels += row;
    }
    return BitmapFileOf(width, height, 24, BI_RGB, "", pixels);
}

// The screen at `dpi` for programs started from now on, as the display settings leave it
// after the next sign-in; the former setting back at the end.
class ScreenDpi {
public:
    explicit ScreenDpi(DWORD dpi) {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr);
        DWORD size = sizeof former_;
        hadValue_ = RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(&former_), &size) == ERROR_SUCCESS;
        RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                       sizeof dpi);
    }
    ScreenDpi(const ScreenDpi&) = delete;
    ScreenDpi& operator=(const ScreenDpi&) = delete;
    ~ScreenDpi() {
        if (hadValue_) {
            RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&former_), sizeof former_);
        } else {
            RegDeleteValueW(key_, L"LogPixels");
        }
        RegCloseKey(key_);
    }

private:
    HKEY key_ = nullptr;
    DWORD former_ = 0;
    bool hadValue_ = false;
};

// What a 144-DPI menu shows, in its client area's pixels.
struct DpiLook {
    RECT client{};
    RECT button{};
    RECT tip{};
    int textRows = 0; // rows of the button holding caption text
};

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kFace = RGB(200, 100, 50);

class DpiDisc : public Disc {
protected:
    void SetUp() override {
        // This process sees the menu's pixels unscaled, as an aware program does on Windows.
        SetProcessDPIAware();
    }

    // The menu with or without "dpiscale" on a 144-DPI screen.
    DpiLook Show(bool dpiScale) {
        const ScreenDpi screen(144);
        const std::string config =
            std::string("<config>\n<General caption=\"Zusatz\" width=\"400\" height=\"300\" "
                        "windowpos=\"topleft\" bgcolor=\"0 0 80\" background=\"back.bmp\"") +
            (dpiScale ? " dpiscale=\"true\"" : "") +
            "/>\n<ToolTippConfig tttype=\"statictt\" width=\"100\" height=\"20\">"
            "<TTFont font=\"Arial\" fontsize=\"10\"/>"
            "<StaticTTConfig LeftMargin=\"10\" TopMargin=\"250\"/></ToolTippConfig>\n"
            "<Pages><Page><A><ButtonPosition left=\"20\" top=\"40\"/><ButtonLayout "
            "caption=\"Hg\" width=\"120\" height=\"30\" bgcolor=\"200 100 50\" icon=\"icon.bmp\" "
            "icontransparentcolor=\"255 0 255\" iconhorizontaloffset=\"4\"/>"
            "<Font font=\"Arial\" fontsize=\"20\" textcolor=\"0 0 0\"/></A></Page></Pages>\n"
            "</config>\n";
        Start(config, {{"back.bmp", BitmapFile(40, 20,
                                               [](int x, int) {
                                                   return x < 20 ? RGB(255, 0, 0) : RGB(0, 255, 0);
                                               })},
                       {"icon.bmp", BitmapFile(16, 16, [](int x, int y) {
                            return x >= 4 && x < 12 && y >= 4 && y < 12 ? RGB(0, 0, 255) : kMagenta;
                        })}});
        DpiLook look;
        if (dialog_ == nullptr) {
            return look;
        }
        GetClientRect(dialog_, &look.client);
        const auto inClient = [&](HWND window) {
            RECT r{};
            GetWindowRect(window, &r);
            MapWindowPoints(HWND_DESKTOP, dialog_, reinterpret_cast<POINT*>(&r), 2);
            return r;
        };
        const HWND button = FindWindowExW(dialog_, nullptr, L"Button", L"Hg");
        if (button != nullptr) {
            look.button = inClient(button);
        }
        if (const HWND tip = GetDlgItem(dialog_, 8888)) {
            look.tip = inClient(tip);
        }
        screen_ = GetDC(nullptr);
        for (int y = look.button.top; y < look.button.bottom; ++y) {
            bool text = false;
            for (int x = look.button.left + (look.button.right - look.button.left) / 4;
                 x < look.button.right; ++x) {
                text = text || Pixel(x, y) == RGB(0, 0, 0);
            }
            look.textRows += text ? 1 : 0;
        }
        return look;
    }
    // The screen's pixel at a point of the menu's client area.
    COLORREF Pixel(int x, int y) const {
        POINT p{x, y};
        ClientToScreen(dialog_, &p);
        return GetPixel(screen_, p.x, p.y);
    }
    void TearDown() override {
        if (screen_ != nullptr) {
            ReleaseDC(nullptr, screen_);
        }
        Disc::TearDown();
    }

    HDC screen_ = nullptr;
};

// The client area, the button and the tooltip: the file's pixels times `halves` / 2.
void ExpectGeometry(const DpiLook& look, int halves) {
    const auto place = [](const RECT& r) {
        return std::vector<LONG>{r.left, r.top, r.right - r.left, r.bottom - r.top};
    };
    const auto scaled = [&](std::vector<LONG> pixels) {
        for (LONG& p : pixels) {
            p = p * halves / 2;
        }
        return pixels;
    };
    EXPECT_EQ(place(look.client), scaled({0, 0, 400, 300}));
    EXPECT_EQ(place(look.button), scaled({20, 40, 120, 30}));
    EXPECT_EQ(place(look.tip), scaled({10, 250, 100, 20}));
}

TEST_F(DpiDisc, WithoutDpiScaleTheFilesPixelsStay) {
    // Wine hands 144 DPI also to programs that declare no awareness, and stretches nothing;
    // Windows would stretch this window's picture. Either way the menu's own pixels stay.
    ExpectGeometry(Show(false), 2);
    EXPECT_EQ(Pixel(38, 18), RGB(0, 255, 0)); // the 40 x 20 background
    EXPECT_EQ(Pixel(45, 5), RGB(0, 0, 80));
}

TEST_F(DpiDisc, DpiScaleDrawsTheFileAtTheScreensDpi) {
    const int textRowsUnscaled = Show(false).textRows;
    Stop();
    const DpiLook look = Show(true);
    ASSERT_NE(dialog_, nullptr);
    ExpectGeometry(look, 3);
    // The caption's font is half as high again (sampled rows, not the glyphs themselves).
    EXPECT_GE(look.textRows * 100, textRowsUnscaled * 125) << textRowsUnscaled;
    EXPECT_LE(look.textRows * 100, textRowsUnscaled * 175) << look.textRows;

    // The background picture at 60 x 30: each half's inside keeps its colour.
    EXPECT_EQ(Pixel(5, 5), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(55, 25), RGB(0, 255, 0));
    EXPECT_EQ(Pixel(45, 5), RGB(0, 255, 0)); // beyond the file's 40 pixels
    EXPECT_EQ(Pixel(65, 5), RGB(0, 0, 80));

    // The icon at 24 x 24, 6 pixels in, centred on the 45-pixel button: its blue square
    // 12 x 12, its transparent frame the button's face, and no trace of magenta anywhere.
    const int left = look.button.left + 6;
    const int top = look.button.top + (45 - 24) / 2;
    EXPECT_EQ(Pixel(left + 12, top + 12), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(left + 9, top + 15), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(left + 2, top + 12), kFace);
    EXPECT_EQ(Pixel(left + 21, top + 21), kFace);
    int magenta = 0;
    for (int y = top; y < top + 24; ++y) {
        for (int x = left; x < left + 24; ++x) {
            const COLORREF c = Pixel(x, y);
            magenta += GetRValue(c) > 150 && GetBValue(c) > 150 && GetGValue(c) < 100 ? 1 : 0;
        }
    }
    EXPECT_EQ(magenta, 0);
}

// A run-length bitmap of one colour: some 70 bytes a row of 8,192 pixels.
std::string RunLengthBitmap(int width, int height, COLORREF colour) {
    std::string pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; x += 255) {
            pixels += {static_cast<char>(std::min(255, width - x)), '\0'};
        }
        pixels += {'\0', '\0'}; // end of the row
    }
    pixels += {'\0', '\1'}; // end of the picture
    const char table[4] = {static_cast<char>(GetBValue(colour)),
                           static_cast<char>(GetGValue(colour)),
                           static_cast<char>(GetRValue(colour)), 0};
    return BitmapFileOf(width, height, 8, BI_RLE8, std::string(table, sizeof table), pixels);
}

// Small files that describe huge pictures: the limits hold at the size the menu draws, one
// file in several spellings or hard links is loaded once, and beyond 256 MB for all a picture
// shows nothing.
TEST_F(DpiDisc, PicturesStayWithinTheLimits) {
    const auto control = [](char name, int top, const char* picture) {
        const std::string tag(1, name);
        return "<" + tag + "><ButtonPosition left=\"20\" top=\"" + std::to_string(top) +
               "\"/><ButtonLayout caption=\"" + tag + "\" background=\"" + picture +
               "\"/><Command type=\"weiter\"/></" + tag + ">\n";
    };
    const std::string big = RunLengthBitmap(8192, 8192, RGB(255, 0, 0)); // 256 MB drawn
    const std::string small = RunLengthBitmap(8, 8, RGB(0, 255, 0));
    const struct {
        bool dpiScale;
        std::vector<std::pair<std::string, std::string>> files, links;
        std::vector<const char*> pictures; // of the controls, one below the other
        std::vector<COLORREF> shown;       // at their top-left corners
    } cases[] = {
        {false,
         {{"big.bmp", big}, {"small.bmp", small}},
         {},
         {"big.bmp", ".\\BIG.BMP", "sub\\..\\Big.bmp", "small.bmp"},
         {RGB(255, 0, 0), RGB(255, 0, 0), RGB(255, 0, 0), kFace}},
        {false,
         {{"big.bmp", big}, {"small.bmp", small}},
         {{"one.bmp", "big.bmp"}, {"two.bmp", "big.bmp"}},
         {"one.bmp", "two.bmp", "big.bmp", "small.bmp"},
         {RGB(255, 0, 0), RGB(255, 0, 0), RGB(255, 0, 0), kFace}},
        // 12,000 pixels wide is within the limit, 18,000 at 144 DPI beyond it.
        {true,
         {{"wide.bmp", RunLengthBitmap(12000, 8, RGB(255, 0, 0))}, {"small.bmp", small}},
         {},
         {"wide.bmp", "small.bmp"},
         {kFace, RGB(0, 255, 0)}},
    };
    for (const auto& c : cases) {
        std::string controls;
        for (std::size_t i = 0; i < c.pictures.size(); ++i) {
            controls +=
                control(static_cast<char>('A' + i), 20 + 40 * static_cast<int>(i), c.pictures[i]);
        }
        std::string config = Menu(controls);
        if (c.dpiScale) {
            config.insert(config.find("/>"), " dpiscale=\"true\"");
        }
        {
            const ScreenDpi screen(144);
            Start(config, c.files, c.links);
        }
        ASSERT_NE(dialog_, nullptr);
        screen_ = GetDC(nullptr);
        // A few pixels into each control's top-left corner, above its caption.
        const int halves = c.dpiScale ? 3 : 2;
        for (std::size_t i = 0; i < c.shown.size(); ++i) {
            EXPECT_EQ(Pixel(24 * halves / 2, (23 + 40 * static_cast<int>(i)) * halves / 2),
                      c.shown[i])
                << c.pictures[i];
        }
        ReleaseDC(nullptr, screen_);
        screen_ = nullptr;
        Stop();
    }
}

// A picture file written by the imaging component's encoder for `container` (PNG or JPEG),
// each pixel coloured by `argb(x, y)` as 0xAARRGGBB, straight alpha.
template <typename Argb>
std::string EncodedFile(const GUID& container, int width, int height, Argb argb) {
    std::vector<DWORD> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels.push_back(argb(x, y));
        }
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IWICImagingFactory* factory = nullptr;
    IWICStream* stream = nullptr;
    IWICBitmapEncoder* encoder = nullptr;
    IWICBitmapFrameEncode* frame = nullptr;
    std::string bytes(1 << 20, '\0');
    ULARGE_INTEGER end{};
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    const bool ok =
        SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IWICImagingFactory, reinterpret_cast<void**>(&factory))) &&
        SUCCEEDED(factory->CreateStream(&stream)) &&
        SUCCEEDED(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(bytes.data()),
                                               static_cast<DWORD>(bytes.size()))) &&
        SUCCEEDED(factory->CreateEncoder(container, nullptr, &encoder)) &&
        SUCCEEDED(encoder->Initialize(stream, WICBitmapEncoderNoCache)) &&
        SUCCEEDED(encoder->CreateNewFrame(&frame, nullptr)) &&
        SUCCEEDED(frame->Initialize(nullptr)) &&
        SUCCEEDED(frame->SetSize(static_cast<UINT>(width), static_cast<UINT>(height))) &&
        SUCCEEDED(frame->SetPixelFormat(&format)) &&
        (format == GUID_WICPixelFormat32bppBGRA || format == GUID_WICPixelFormat24bppBGR);
    // The JPEG encoder takes 3 bytes a pixel.
    const UINT depth = format == GUID_WICPixelFormat24bppBGR ? 3 : 4;
    std::string rows;
    for (const DWORD pixel : pixels) {
        rows.append(reinterpret_cast<const char*>(&pixel), depth);
    }
    const bool written =
        ok &&
        SUCCEEDED(frame->WritePixels(static_cast<UINT>(height), static_cast<UINT>(width) * depth,
                                     static_cast<UINT>(rows.size()),
                                     reinterpret_cast<BYTE*>(rows.data()))) &&
        SUCCEEDED(frame->Commit()) && SUCCEEDED(encoder->Commit()) &&
        SUCCEEDED(stream->Seek({}, STREAM_SEEK_CUR, &end));
    for (IUnknown* object : std::initializer_list<IUnknown*>{frame, encoder, stream, factory}) {
        if (object != nullptr) {
            object->Release();
        }
    }
    bytes.resize(written ? static_cast<std::size_t>(end.QuadPart) : 0);
    return bytes;
}

// A GIF file of 40 x 20 pixels, red on the left and green on the right, then a second frame
// whose data ends too soon, and the trailer.
std::string TwoFrameGif() {
    std::string data;
    unsigned bits = 0;
    int count = 0;
    // Codes of 3 bits: a clear code before every two pixels keeps them that wide.
    const auto code = [&](unsigned value) {
        bits |= value << count;
        for (count += 3; count >= 8; count -= 8, bits >>= 8) {
            data += static_cast<char>(bits & 0xFF);
        }
    };
    for (int i = 0; i < 40 * 20; ++i) {
        if (i % 2 == 0) {
            code(4);
        }
        code(i % 40 < 20 ? 0 : 1);
    }
    code(5);
    data += static_cast<char>(bits);
    std::string blocks;
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::string part = data.substr(at, 255);
        blocks += static_cast<char>(part.size()) + part;
    }
    return std::string("GIF89a\x28\0\x14\0\x81\0\0\xFF\0\0\0\xFF\0\0\0\0\0\0\0", 25) +
           std::string(",\0\0\0\0\x28\0\x14\0\0\x02", 11) + blocks + '\0' +
           std::string(",\0\0\0\0\x02\0\x02\0\0\x02\x01\x2C\0", 14) + ";";
}

// PNG, JPEG and GIF pictures through the real menu: a window background, an icon with soft edges
// blended onto the button's face, a control background partly transparent; damaged and
// hostile files count as missing. (The BMP tests above show bitmaps unchanged.)
TEST_F(DpiDisc, PngAndJpegPictures) {
    const auto halves = [](DWORD left, DWORD right) {
        return [=](int x, int) { return x < 20 ? left : right; };
    };
    const std::string png =
        EncodedFile(GUID_ContainerFormatPng, 40, 20, halves(0xFFFF0000, 0xFF00FF00));
    ASSERT_GT(png.size(), 33u);
    std::string huge = png; // claiming 100,000 pixels a side
    huge.replace(16, 4, std::string("\0\x01\x86\xA0", 4));
    // A blue square, a half-transparent red ring around it, fully transparent black beyond.
    const std::string icon = EncodedFile(GUID_ContainerFormatPng, 16, 16, [](int x, int y) {
        const int d = std::max(std::abs(2 * x - 15), std::abs(2 * y - 15));
        return d < 8 ? 0xFF0000FFu : d < 12 ? 0x80FF0000u : 0x00000000u;
    });
    // Yellow on the left, transparent on the right.
    const std::string face = EncodedFile(GUID_ContainerFormatPng, 60, 20, halves(0xFFFFFF00, 0));
    constexpr COLORREF kWindow = RGB(0, 0, 80), kHover = RGB(0, 200, 0);
    const struct {
        const char* what;
        std::string background;
        COLORREF left, right; // the background's halves
        int tolerance;
    } cases[] = {
        {"PNG", png, RGB(255, 0, 0), RGB(0, 255, 0), 0},
        {"JPEG and bytes after its end",
         EncodedFile(GUID_ContainerFormatJpeg, 40, 20, halves(0xFFFF0000, 0xFF00FF00)) + "more",
         RGB(255, 0, 0), RGB(0, 255, 0), 40},
        // Only the frame shown is decoded: one the decoder would refuse after it is never read.
        {"GIF of a damaged second frame", TwoFrameGif(), RGB(255, 0, 0), RGB(0, 255, 0), 0},
        {"truncated PNG", png.substr(0, png.size() / 2), kWindow, kWindow, 0},
        {"PNG 100,000 pixels wide", huge, kWindow, kWindow, 0},
    };
    const auto similar = [](COLORREF a, COLORREF b, int tolerance) {
        return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
               std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
               std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
    };
    // Premultiplied: a colour of alpha 128 over the face.
    const auto mix = [](COLORREF over, COLORREF under) {
        const auto channel = [](int o, int u) { return o * 128 / 255 + u * 127 / 255; };
        return RGB(channel(GetRValue(over), GetRValue(under)),
                   channel(GetGValue(over), GetGValue(under)),
                   channel(GetBValue(over), GetBValue(under)));
    };
    const std::string config =
        "<config>\n<General caption=\"Zusatz\" width=\"400\" height=\"300\" windowpos=\"topleft\" "
        "bgcolor=\"0 0 80\" background=\"back.pic\"/>\n<ToolTippConfig tttype=\"statictt\" "
        "width=\"100\" height=\"20\"><TTFont font=\"Arial\"/><StaticTTConfig LeftMargin=\"10\" "
        "TopMargin=\"250\"/></ToolTippConfig>\n<ButtonConfig>"
        "<ButtonLayout width=\"120\" height=\"30\" bgcolor=\"200 100 50\"/><ButtonMouseOverLayout "
        "bgcolor=\"0 200 0\"/><Font font=\"Arial\" "
        "fontsize=\"12\"/></ButtonConfig>\n<Pages><Page>\n"
        "<A><ButtonPosition left=\"20\" top=\"40\"/><ButtonLayout caption=\"A\" icon=\"icon.png\" "
        "iconhorizontaloffset=\"4\"/>" +
        Box("A") +
        "</A>\n<B><ButtonPosition left=\"20\" top=\"100\"/><ButtonLayout caption=\"B\" "
        "background=\"face.png\"/>" +
        Box("B") + "</B>\n</Page></Pages>\n</config>\n";
    for (const auto& c : cases) {
        Start(config, {{"back.pic", c.background}, {"icon.png", icon}, {"face.png", face}});
        ASSERT_NE(dialog_, nullptr) << c.what;
        screen_ = GetDC(nullptr);
        EXPECT_TRUE(similar(Pixel(5, 10), c.left, c.tolerance)) << c.what << Pixel(5, 10);
        EXPECT_TRUE(similar(Pixel(35, 10), c.right, c.tolerance)) << c.what << Pixel(35, 10);
        EXPECT_EQ(Pixel(45, 5), kWindow) << c.what;
        // The icon at (24, 47): its square, its ring mixed with the face, the face beyond, and
        // nowhere the ring's own red or the black of its transparent pixels.
        for (const COLORREF under : {kFace, kHover}) {
            EXPECT_EQ(Pixel(32, 55), RGB(0, 0, 255)) << c.what;
            EXPECT_TRUE(similar(Pixel(27, 55), mix(RGB(255, 0, 0), under), 3)) << c.what;
            EXPECT_EQ(Pixel(24, 47), under) << c.what;
            int unblended = 0;
            for (int y = 47; y < 63; ++y) {
                for (int x = 24; x < 40; ++x) {
                    const COLORREF p = Pixel(x, y);
                    unblended += p == RGB(255, 0, 0) || p == RGB(0, 0, 0) ? 1 : 0;
                }
            }
            EXPECT_EQ(unblended, 0) << c.what;
            PointAt(dialog_, 130, 55); // the mouse-over look's face under the icon
        }
        // The control background: yellow, then the face where it is transparent.
        EXPECT_EQ(Pixel(25, 102), RGB(255, 255, 0)) << c.what;
        EXPECT_EQ(Pixel(60, 102), kFace) << c.what;
        ReleaseDC(nullptr, screen_);
        screen_ = nullptr;
    }
    // With "dpiscale" at 144 DPI the icon is scaled smoothly by its alpha, to 24 pixels at
    // (36, 70): its square blue, its ring mixed, and no black from its transparent pixels.
    std::string scaled = config;
    scaled.insert(scaled.find("/>"), " dpiscale=\"true\"");
    {
        const ScreenDpi screen(144);
        Start(scaled, {{"back.pic", png}, {"icon.png", icon}, {"face.png", face}});
    }
    ASSERT_NE(dialog_, nullptr);
    screen_ = GetDC(nullptr);
    EXPECT_EQ(Pixel(48, 82), RGB(0, 0, 255));
    EXPECT_TRUE(similar(Pixel(40, 82), mix(RGB(255, 0, 0), kFace), 24)) << Pixel(40, 82);
    EXPECT_EQ(Pixel(36, 70), kFace);
    int dark = 0;
    for (int y = 70; y < 94; ++y) {
        for (int x = 36; x < 60; ++x) {
            const COLORREF p = Pixel(x, y);
            dark += GetRValue(p) + GetGValue(p) + GetBValue(p) < 100 ? 1 : 0;
        }
    }
    EXPECT_EQ(dark, 0);
}

} // namespace
