// The vocabulary beyond the classic format in the real navora.exe: copied onto a "disc"
// folder with its configuration beside it and started from another folder, as from a
// desktop shortcut; clicked by real input and checked by its message boxes and the files
// its programs leave.
#include <gtest/gtest.h>
#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

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
class Disc : public ::testing::Test {
protected:
    void Start(const std::string& config) {
        const std::string name = "navora-disc-" + std::to_string(++runs_);
        disc_ = fs::temp_directory_path() / name / "disc";
        elsewhere_ = fs::temp_directory_path() / name / "elsewhere";
        fs::create_directories(disc_);
        fs::create_directories(elsewhere_);
        for (const char* program : {"navora.exe", "tests/exit_with.exe"}) {
            fs::copy_file(BuildDirectory() / program, disc_ / fs::path(program).filename());
        }
        std::ofstream(disc_ / "navora.xml", std::ios::binary) << config;
        std::ofstream(disc_ / "marker.txt") << "x";
        process_ = std::make_unique<MenuProcess>(L"", elsewhere_, disc_ / "navora.exe");
        ASSERT_TRUE(process_->Started());
        dialog_ = process_->Window(L"Zusatz");
        ASSERT_NE(dialog_, nullptr);
        Sleep(300);
    }
    void TearDown() override {
        process_.reset();
        std::error_code ignored;
        fs::remove_all(disc_.parent_path(), ignored);
    }
    // A real click on the centre of the button with that caption.
    void Press(const wchar_t* caption) const {
        const HWND button = FindWindowExW(dialog_, nullptr, L"Button", caption);
        ASSERT_NE(button, nullptr);
        POINT p{60, 15};
        ClientToScreen(button, &p);
        SetCursorPos(p.x, p.y);
        Sleep(100);
        mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
        Sleep(200);
    }
    // The text of the message box with that title, which is then closed; empty without one.
    std::wstring BoxText(const wchar_t* title, int seconds = 10) const {
        const HWND box = process_->Window(title, seconds);
        if (box == nullptr) {
            return {};
        }
        wchar_t text[512] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, 512);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        Sleep(200);
        return text;
    }
    // The same after a failed launch: the shell reports it first in a box of its own, closed.
    std::wstring BoxTextAfterTheShells(const wchar_t* title) const {
        for (int i = 0; i < 100; ++i) {
            if (process_->Window(title, 0) != nullptr) {
                return BoxText(title, 0);
            }
            for (HWND box = nullptr;
                 (box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr;) {
                DWORD pid = 0;
                GetWindowThreadProcessId(box, &pid);
                if (pid == process_->Id() && box != dialog_ && IsWindowVisible(box)) {
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                }
            }
            Sleep(100);
        }
        return {};
    }

    static inline int runs_ = 0;
    fs::path disc_;
    fs::path elsewhere_;
    std::unique_ptr<MenuProcess> process_;
    HWND dialog_ = nullptr;
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
    Start(Menu(Button("Rechte", 20,
                      "<Query type=\"admin\"><Positiv>" + Box("Administrator") +
                          "</Positiv><Negativ>" + Box("Benutzer") + "</Negativ></Query>") +
               Button("Bits", 60,
                      "<Query type=\"os64\"><Positiv>" + Box("64") + "</Positiv><Negativ>" +
                          Box("32") + "</Negativ></Query>")));
    // The shell's own answer, asked independently of the menu's token check.
    Press(L"Rechte");
    EXPECT_EQ(BoxText(IsUserAnAdmin() ? L"Administrator" : L"Benutzer"), L"ok");
    // A 64-bit build runs only on 64-bit Windows.
    Press(L"Bits");
    EXPECT_EQ(BoxText(L"64"), L"ok");
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

TEST(DiscMessages, SetUpMessagesInTheFilesWords) {
    const fs::path dir = fs::temp_directory_path() / "navora-disc-messages";
    fs::create_directories(dir);
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
        wchar_t text[256] = L"";
        GetDlgItemTextW(box, 0xFFFF, text, 256);
        EXPECT_STREQ(text, c.text);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(menu.ExitCode(), 0u);
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

} // namespace
