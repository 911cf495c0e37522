// Menus that fit the PC and the person, in the real navora.exe: pages by number, the machine's
// architecture, a box's state for a program, and the keyboard; driven by real input and
// checked by message boxes, visibility and the files its programs leave.
#include <gtest/gtest.h>
#include <windows.h>

#include <oleacc.h>

#include <cstring>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ProcessWindows.h"

namespace {

namespace fs = std::filesystem;

// A control element named by its caption; `layout` adds attributes to its ButtonLayout.
std::string Control(const std::string& caption, int top, const std::string& chain,
                    const std::string& layout = "") {
    return "<" + caption + "><ButtonPosition left=\"20\" top=\"" + std::to_string(top) +
           "\"/><ButtonLayout caption=\"" + caption + "\"" + layout + "/>" + chain + "</" +
           caption + ">\n";
}

std::string ShowBox(const std::string& caption, const std::string& message = "ok") {
    return "<Command type=\"showmessage\"><ShowMessageCommandConfig caption=\"" + caption +
           "\" message=\"" + message + "\"/></Command>";
}

// A menu with one page per entry of `pages`, each holding those controls.
std::string FitMenu(const std::vector<std::string>& pages, const std::string& extra = "",
                    const std::string& general = "caption=\"Passend\"") {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<config>\n"
                       "<General " +
                       general +
                       " width=\"400\" height=\"300\" windowpos=\"topleft\" bgcolor=\"0 0 80\"/>\n"
                       "<ToolTippConfig tttype=\"statictt\" width=\"150\" height=\"20\" "
                       "bgcolor=\"255 255 225\"><TTFont font=\"Arial\"/>"
                       "<StaticTTConfig LeftMargin=\"200\" TopMargin=\"260\"/></ToolTippConfig>\n" +
                       extra +
                       "<ButtonConfig><ButtonLayout width=\"120\" height=\"30\" "
                       "bgcolor=\"200 100 50\"/><ButtonMouseOverLayout bgcolor=\"255 200 0\"/>"
                       "<Font font=\"Arial\" fontsize=\"12\" "
                       "textcolor=\"255 255 255\"/></ButtonConfig>\n<Pages>\n";
    for (const std::string& page : pages) {
        text += "<Page>\n" + page + "</Page>\n";
    }
    return text + "</Pages>\n</config>\n";
}

// The menu copied into a "disc" folder with its configuration beside it, started from there.
class Fit : public MenuTest {
protected:
    // `files`: more files beside it by name and bytes; the window titled `title` is waited for.
    void Start(const std::string& config, const std::wstring& args = L"",
               const std::vector<std::pair<std::string, std::string>>& files = {},
               const std::wstring& title = L"Passend") {
        disc_ = NewFolder("navora-fit");
        fs::copy_file(MenuProgram(), disc_ / "navora.exe");
        fs::copy_file(BuildDirectory() / "tests/exit_with.exe", disc_ / "exit_with.exe");
        folder_->Write("navora.xml", config);
        for (const auto& [name, bytes] : files) {
            folder_->Write(name, bytes);
        }
        Launch(args, disc_, title, disc_ / "navora.exe");
    }
    // The pointer leaves the screen's corner free of the next suite's windows.
    void TearDown() override {
        MenuTest::TearDown();
        SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    // Starts the menu again on the same folder, as the user does the next time.
    void Restart() {
        process_.reset();
        Launch(L"", disc_, L"Passend", disc_ / "navora.exe");
    }
    HWND Find(const wchar_t* caption) const {
        return FindWindowExW(dialog_, nullptr, L"Button", caption);
    }
    // A real click on the centre of the control with that caption.
    void Press(const wchar_t* caption) const {
        const HWND control = Find(caption);
        ASSERT_NE(control, nullptr);
        PointAt(control, 60, 10, 100);
        MouseButton(true, 0);
        MouseButton(false, 200);
    }
    std::wstring BoxText(const wchar_t* title, int seconds = 10) const {
        return process_->BoxText(title, seconds).value_or(L"");
    }

    fs::path disc_;
};

TEST_F(Fit, GotoPageShowsThePageOfThatNumberAndFailsForOneThatDoesNotExist) {
    const auto go = [](int page) {
        return "<Command type=\"gotopage\"><GotoPageCommandConfig page=\"" + std::to_string(page) +
               "\"/></Command>";
    };
    Start(FitMenu({Control("Drei", 20, go(3)) + Control("Neun", 60, go(9)), Control("Zwei", 20, ""),
                   Control("Eins", 20, go(1))}));
    const struct {
        const wchar_t* press;
        const wchar_t* shown; // a control of the page shown afterwards
        bool warns;
    } steps[] = {{L"Drei", L"Eins", false}, {L"Eins", L"Drei", false}, {L"Neun", L"Drei", true}};
    for (const auto& s : steps) {
        Press(s.press);
        if (s.warns) {
            EXPECT_EQ(BoxText(L"Achtung"), L"Nicht alle Commands/Abfragen konnten ausgef\u00fchrt "
                                           L"werden");
        }
        Sleep(200);
        EXPECT_TRUE(IsWindowVisible(Find(s.shown))) << s.press;
        EXPECT_FALSE(IsWindowVisible(Find(L"Zwei"))) << s.press;
    }
}

// Both builds see the machine's own architecture: x64 here, also from the 32-bit menu.
TEST_F(Fit, ArchIsTheMachinesOwn) {
    std::string chain = ShowBox("unbekannt");
    for (const char* arch : {"arm64", "x64", "x86"}) {
        chain = std::string("<Query type=\"arch\"><ArchQueryConfig value=\"") + arch +
                "\"/><Positiv>" + ShowBox(arch) + "</Positiv><Negativ>" + chain +
                "</Negativ></Query>";
    }
    Start(FitMenu({Control("Welche", 20, chain)}));
    Press(L"Welche");
    EXPECT_EQ(BoxText(L"x64"), L"ok");
}

// A real Shift+Tab: Shift held while Tab is pressed and released.
void ShiftTab() {
    INPUT strokes[4]{};
    const WORD keys[] = {VK_SHIFT, VK_TAB, VK_TAB, VK_SHIFT};
    for (int i = 0; i < 4; ++i) {
        strokes[i].type = INPUT_KEYBOARD;
        strokes[i].ki.wVk = keys[i];
        strokes[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    SendInput(4, strokes, sizeof(INPUT));
    Sleep(300);
}

constexpr COLORREF kFace = RGB(200, 100, 50);
constexpr COLORREF kHoverFace = RGB(255, 200, 0);
constexpr COLORREF kTipFace = RGB(255, 255, 225);

// Shift+Tab walks backwards, Space toggles a highlighted box, and a highlighted control shows
// its mouse-over look and its tooltip.
TEST_F(Fit, ShiftTabGoesBackSpaceTogglesAndTheHighlightLooksAsUnderTheMouse) {
    Start(FitMenu({Control("Eins", 20, ShowBox("Eins"), " tabindex=\"1\" tooltipp=\"Erster\"") +
                   "<Box id=\"wahl\"><ButtonPosition left=\"20\" top=\"60\"/><ButtonLayout "
                   "type=\"checkbox\" caption=\"Box\" tabindex=\"2\" currentval=\"false\"/>"
                   "</Box>\n" +
                   Control("Drei", 100, ShowBox("Drei"), " tabindex=\"3\" tooltipp=\"Dritter\"")}));
    PointAt(dialog_, 380, 200);
    const auto face = [&](const wchar_t* caption) { return ScreenPixel(Find(caption), 1, 1); };
    EXPECT_EQ(ScreenPixel(dialog_, 205, 265), RGB(0, 0, 80)); // no tooltip yet
    ShiftTab();                                               // from nothing the last stop
    EXPECT_EQ(face(L"Drei"), kHoverFace);
    EXPECT_EQ(face(L"Eins"), kFace);
    EXPECT_EQ(ScreenPixel(dialog_, 205, 265), kTipFace);
    ShiftTab();
    EXPECT_EQ(face(L"Drei"), kFace);
    const std::string off = folder_->Read("navora.xml");
    Key(VK_SPACE);
    const std::string on = folder_->Read("navora.xml");
    EXPECT_NE(on.find("currentval=\"true\""), std::string::npos);
    Key(VK_SPACE);
    EXPECT_EQ(folder_->Read("navora.xml"), off);
    ShiftTab();
    EXPECT_EQ(face(L"Eins"), kHoverFace);
    Key(VK_SPACE); // a push button ignores Space
    EXPECT_EQ(process_->Window(L"Eins", 1), nullptr);
    ShiftTab(); // from the first stop back to the last
    EXPECT_EQ(face(L"Drei"), kHoverFace);
    Key(VK_TAB); // and Tab forward again to the first
    EXPECT_EQ(face(L"Eins"), kHoverFace);
}

// The command line a helper program left in `file`, read as UTF-16; empty without it.
std::wstring LeftCommandLine(const fs::path& file) {
    const std::string bytes = FileBytes(file);
    std::wstring line(bytes.size() / 2, L'\0');
    std::memcpy(line.data(), bytes.data(), line.size() * 2);
    return line;
}

std::string CheckBox(const std::string& id, const std::string& caption, int top,
                     const std::string& layout = "") {
    return "<Box id=\"" + id + "\"><ButtonPosition left=\"20\" top=\"" + std::to_string(top) +
           "\"/><ButtonLayout type=\"checkbox\" caption=\"" + caption +
           "\" width=\"150\" height=\"20\" currentval=\"false\"" + layout + "/></Box>\n";
}

// A program gets a box's state at the moment its command runs.
TEST_F(Fit, CheckVariablesGiveTheProgramTheBoxesStates) {
    Start(FitMenu({CheckBox("agb", "AGB", 20) +
                   Control("Lauf", 60,
                           "<Command type=\"exec\"><ExecCommandConfig "
                           "path=\"%MENUDIR%\\exit_with.exe\" parameter=\"0 0 %MENUDIR%\\ran.txt "
                           "agb=%CHECK:agb% nix=%CHECK:nix%\" wait=\"true\"/>" +
                               ShowBox("Fertig") + "</Command>")}));
    for (const wchar_t* state : {L"agb=0 ", L"agb=1 ", L"agb=0 "}) {
        Press(L"Lauf");
        EXPECT_EQ(BoxText(L"Fertig"), L"ok");
        const std::wstring line = LeftCommandLine(disc_ / "ran.txt");
        EXPECT_NE(line.find(std::wstring(state) + L"nix=%CHECK:nix%"), std::wstring::npos)
            << "expected " << std::string(state, state + 6) << " in the command line";
        Press(L"AGB");
    }
}

// "ShowIf" and "EnableIf" are asked each time the page shows; a hidden control is skipped by
// Tab, a disabled one draws grey, ignores presses and still shows its tooltip.
TEST_F(Fit, ConditionsHideOrDisableControlsEachTimeTheirPageShows) {
    const auto file = [](const std::string& name) {
        return "<Query type=\"file\"><FileQueryConfig path=\"%MENUDIR%\\" + name + "\"/></Query>";
    };
    const std::string quit = "<BtnBeenden><ButtonPosition left=\"250\" top=\"20\"/><ButtonLayout "
                             "caption=\"Ende\" tabindex=\"0\"/><ShowIf><Query type=\"yesnobox\"/>"
                             "</ShowIf><Command type=\"beenden\"/></BtnBeenden>\n";
    Start(FitMenu(
        {Control("Sichtbar", 20, "<ShowIf><Query type=\"os64\"/></ShowIf>", " tabindex=\"1\"") +
             Control("Versteckt", 60, "<ShowIf><Query type=\"os64\" negate=\"true\"/></ShowIf>",
                     " tabindex=\"2\"") +
             Control("Grau", 100,
                     "<EnableIf>" + file("fehlt.txt") + "</EnableIf>" + ShowBox("Grau"),
                     " tabindex=\"3\" tooltipp=\"Fehlt noch\" disabledtextcolor=\"0 255 0\"") +
             Control("Frei", 140,
                     "<EnableIf>" + file("navora.xml") + "</EnableIf>" + ShowBox("Frei"),
                     " tabindex=\"4\"") +
             Control("Weiter", 180, "<Command type=\"weiter\"/>"),
         Control("Spaeter", 20, "<ShowIf>" + file("spaeter.txt") + "</ShowIf>") +
             Control("Zurueck", 60, "<Command type=\"weiter\"/>")},
        quit));
    EXPECT_TRUE(IsWindowVisible(Find(L"Sichtbar")));
    EXPECT_FALSE(IsWindowVisible(Find(L"Versteckt")));
    EXPECT_FALSE(IsWindowVisible(Find(L"Ende"))); // a yes/no box is never a condition
    for (const auto& [box, title] : VisibleBoxesOf(process_->Id())) {
        EXPECT_EQ(box, dialog_) << "asked: " << std::string(title.begin(), title.end());
    }
    // The grey caption in the file's colour; the enabled one in its own.
    const auto hasGreen = [&](const wchar_t* caption) {
        for (int x = 5; x < 115; ++x) {
            for (int y = 5; y < 25; ++y) {
                if (ScreenPixel(Find(caption), x, y) == RGB(0, 255, 0)) {
                    return true;
                }
            }
        }
        return false;
    };
    EXPECT_TRUE(hasGreen(L"Grau"));
    EXPECT_FALSE(hasGreen(L"Frei"));
    // Tab: "Sichtbar", then "Grau" (its tooltip, no mouse-over look), then "Frei".
    PointAt(dialog_, 380, 280);
    Key(VK_TAB);
    Key(VK_TAB);
    EXPECT_EQ(ScreenPixel(Find(L"Grau"), 1, 1), kFace);
    EXPECT_EQ(ScreenPixel(dialog_, 205, 265), kTipFace);
    Key(VK_RETURN); // a disabled control runs nothing
    EXPECT_EQ(process_->Window(L"Grau", 1), nullptr);
    Key(VK_TAB);
    EXPECT_EQ(ScreenPixel(Find(L"Frei"), 1, 1), kHoverFace);
    Key(VK_RETURN);
    EXPECT_EQ(BoxText(L"Frei"), L"ok");
    // Nor does a click; its tooltip still shows under the mouse.
    Press(L"Grau");
    EXPECT_EQ(process_->Window(L"Grau", 1), nullptr);
    PointAt(Find(L"Grau"), 30, 10);
    EXPECT_EQ(ScreenPixel(dialog_, 205, 265), kTipFace);
    // Asked again when the page shows: the file is there now.
    EXPECT_FALSE(IsWindowVisible(Find(L"Spaeter")));
    folder_->Write("spaeter.txt", "x");
    Press(L"Weiter");
    EXPECT_TRUE(IsWindowVisible(Find(L"Spaeter")));
    EXPECT_FALSE(IsWindowVisible(Find(L"Sichtbar")));
}

// The user's display language as the menu names it, e.g. "en-US".
std::wstring UserLanguageTag() {
    const LCID locale = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
    wchar_t language[16] = L"";
    wchar_t country[16] = L"";
    GetLocaleInfoW(locale, LOCALE_SISO639LANGNAME, language, 16);
    GetLocaleInfoW(locale, LOCALE_SISO3166CTRYNAME, country, 16);
    return std::wstring(language) + L"-" + country;
}

// Without -cfg the most specific variant beside the menu is read; with it the file named.
TEST_F(Fit, TheUsersLanguageVariantIsReadFromTheSpecificToTheGeneral) {
    const std::wstring tag = UserLanguageTag();
    ASSERT_GT(tag.size(), 3u);
    const std::string full = "navora." + std::string(tag.begin(), tag.end()) + ".xml";
    const std::string language =
        "navora." + std::string(tag.begin(), tag.find(L'-') + tag.begin()) + ".xml";
    const auto menu = [](const char* caption) {
        return FitMenu({Control("Knopf", 20, "")}, "", std::string("caption=\"") + caption + "\"");
    };
    const struct {
        std::vector<std::pair<std::string, std::string>> variants;
        const wchar_t* args;
        const wchar_t* title;
    } cases[] = {
        {{}, L"", L"Passend"},
        {{{language, menu("Sprache")}}, L"", L"Sprache"},
        {{{language, menu("Sprache")}, {full, menu("Land")}}, L"", L"Land"},
        {{{full, menu("Land")}}, L"", L"Land"},
        {{{language, menu("Sprache")}, {full, menu("Land")}}, L"-cfg .\\navora.xml", L"Passend"},
    };
    for (const auto& c : cases) {
        Start(FitMenu({Control("Knopf", 20, "")}), c.args, c.variants, c.title);
        EXPECT_NE(dialog_, nullptr) << c.variants.size();
    }
}

// A remembered box starts from the user's stored state and stores every toggle.
TEST_F(Fit, RememberedBoxesKeepTheirStateForTheUser) {
    const wchar_t* const key = L"Software\\Navora\\NavoraFitTest";
    RegDeleteTreeW(HKEY_CURRENT_USER, key);
    const auto stored = [&](const wchar_t* id) -> std::optional<DWORD> {
        DWORD value = 0;
        DWORD size = sizeof value;
        if (RegGetValueW(HKEY_CURRENT_USER, key, id, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        return value;
    };
    const auto recorded = [&](const char* caption) {
        return folder_->Read("navora.xml")
                   .find(std::string("caption=\"") + caption +
                         "\" width=\"150\" height=\"20\" currentval=\"true\"") != std::string::npos;
    };
    Start(
        FitMenu({CheckBox("wahl", "Wahl", 20, " remember=\"user\"") + CheckBox("ohne", "Ohne", 60)},
                "", "caption=\"Passend\" menuid=\"NavoraFitTest\""));
    EXPECT_EQ(stored(L"wahl"), std::nullopt);
    Press(L"Wahl");
    EXPECT_EQ(stored(L"wahl"), 1u);
    Press(L"Ohne");
    EXPECT_EQ(stored(L"ohne"), std::nullopt);
    // The next start: "wahl" ticked from the registry, and so recorded in the file at start;
    // "ohne" from its "defaultval".
    Restart();
    EXPECT_TRUE(recorded("Wahl"));
    EXPECT_FALSE(recorded("Ohne"));
    Press(L"Wahl");
    EXPECT_EQ(stored(L"wahl"), 0u);
    Restart();
    EXPECT_FALSE(recorded("Wahl"));
    // A stored value that is no DWORD 0 or 1 is ignored: "defaultval" holds.
    for (const auto& [type, bytes, size] : {std::tuple<DWORD, const void*, DWORD>{REG_SZ, L"1", 4},
                                            {REG_DWORD, "\x02\0\0\0", 4},
                                            {REG_BINARY, "\x01", 1}}) {
        HKEY opened = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_SET_VALUE, &opened), ERROR_SUCCESS);
        RegSetValueExW(opened, L"wahl", 0, type, static_cast<const BYTE*>(bytes), size);
        RegCloseKey(opened);
        Restart();
        EXPECT_FALSE(recorded("Wahl")) << type;
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, key);
}

// What a screen reader hears of one control through Active Accessibility.
struct Heard {
    std::wstring name;
    long role = 0;
    long state = 0; // of the states below
    std::wstring action;
};

constexpr long kStates = STATE_SYSTEM_CHECKED | STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_FOCUSED |
                         STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_FOCUSABLE;

// A screen reader in another process: it asks each control's window for its object, and
// listens to focus events.
class Reader {
public:
    Reader() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    ~Reader() { CoUninitialize(); }
    Heard Hear(HWND control) const {
        Heard heard;
        IAccessible* object = Object(control);
        if (object == nullptr) {
            return heard;
        }
        BSTR text = nullptr;
        if (object->get_accName(Self(), &text) == S_OK) {
            heard.name = text;
            SysFreeString(text);
        }
        VARIANT value{};
        if (object->get_accRole(Self(), &value) == S_OK && value.vt == VT_I4) {
            heard.role = value.lVal;
        }
        if (object->get_accState(Self(), &value) == S_OK && value.vt == VT_I4) {
            heard.state = value.lVal & kStates;
        }
        if (object->get_accDefaultAction(Self(), &text) == S_OK) {
            heard.action = text;
            SysFreeString(text);
        }
        object->Release();
        return heard;
    }
    // The default action; the call returns before anything it starts has ended.
    HRESULT Act(HWND control) const {
        IAccessible* object = Object(control);
        if (object == nullptr) {
            return E_FAIL;
        }
        const HRESULT result = object->accDoDefaultAction(Self());
        object->Release();
        return result;
    }
    // The window of the last focus event heard in the half second after a stroke of `key`.
    // Events from another process arrive as messages: the reader listens only while it takes
    // them.
    static HWND FocusAfter(WORD key) {
        focus_ = nullptr;
        const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr,
                                                   OnFocus, 0, 0, WINEVENT_OUTOFCONTEXT);
        Key(key, 0);
        for (int i = 0; i < 25; ++i) {
            for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
                DispatchMessageW(&msg);
            }
            Sleep(20);
        }
        UnhookWinEvent(hook);
        return focus_;
    }

private:
    static VARIANT Self() {
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        return self;
    }
    static IAccessible* Object(HWND control) {
        IAccessible* object = nullptr;
        EXPECT_EQ(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                             __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&object)),
                  S_OK);
        return object;
    }
    static void CALLBACK OnFocus(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD,
                                 DWORD) {
        if (object == OBJID_CLIENT && child == CHILDID_SELF) {
            focus_ = hwnd;
        }
    }

    static inline HWND focus_ = nullptr;
};

// Each control tells a screen reader its caption (or, without one, its tooltip), its kind,
// its state and what its default action does, which acts as a click.
TEST_F(Fit, ScreenReadersHearEachControlsNameRoleStateAndAction) {
    Reader reader;
    const std::string missing =
        "<Query type=\"file\"><FileQueryConfig path=\"%MENUDIR%\\fehlt.txt\"/></Query>";
    Start(FitMenu(
        {Control("Start", 20, ShowBox("Start"), " tabindex=\"1\" tooltipp=\"Los\"") +
             CheckBox("agb", "AGB", 60, " tabindex=\"2\"") +
             "<Bild><ButtonPosition left=\"20\" top=\"100\"/><ButtonLayout "
             "caption=\"\xE2\x80\x8B\" "
             "tooltipp=\"Handbuch \xC3\xB6"
             "ffnen\" tabindex=\"3\"/></Bild>\n" +
             Control("Grau", 140, "<EnableIf>" + missing + "</EnableIf>" + ShowBox("Grau"),
                     " tabindex=\"4\"") +
             Control("Versteckt", 180, "<ShowIf>" + missing + "</ShowIf>" + ShowBox("Versteckt")),
         Control("Zwei", 20, "")}));
    PointAt(dialog_, 380, 280);
    constexpr long kPush = ROLE_SYSTEM_PUSHBUTTON;
    constexpr long kBox = ROLE_SYSTEM_CHECKBUTTON;
    constexpr long kFocusable = STATE_SYSTEM_FOCUSABLE;
    const struct {
        const wchar_t* caption;
        Heard heard;
    } controls[] = {
        {L"Start", {L"Start", kPush, kFocusable, L"Press"}},
        {L"AGB", {L"AGB", kBox, kFocusable, L"Check"}},
        {L"\u200b", {L"Handbuch \u00f6ffnen", kPush, kFocusable, L"Press"}},
        {L"Grau", {L"Grau", kPush, kFocusable | STATE_SYSTEM_UNAVAILABLE, L"Press"}},
        {L"Versteckt", {L"Versteckt", kPush, STATE_SYSTEM_INVISIBLE, L"Press"}},
        {L"Zwei", {L"Zwei", kPush, STATE_SYSTEM_INVISIBLE, L"Press"}},
    };
    const auto expect = [&](const wchar_t* caption, const Heard& expected, const char* when) {
        const Heard heard = reader.Hear(Find(caption));
        EXPECT_EQ(heard.name, expected.name) << when;
        EXPECT_EQ(heard.role, expected.role) << when;
        EXPECT_EQ(heard.state, expected.state) << when;
        EXPECT_EQ(heard.action, expected.action) << when;
    };
    for (const auto& c : controls) {
        expect(c.caption, c.heard, "at start");
    }
    // The keyboard's highlight is the focus, and the reader hears it move.
    EXPECT_EQ(Reader::FocusAfter(VK_TAB), Find(L"Start"));
    expect(L"Start", {L"Start", kPush, kFocusable | STATE_SYSTEM_FOCUSED, L"Press"}, "Tab");
    EXPECT_EQ(Reader::FocusAfter(VK_TAB), Find(L"AGB"));
    expect(L"Start", controls[0].heard, "Tab, Tab");
    expect(L"AGB", {L"AGB", kBox, kFocusable | STATE_SYSTEM_FOCUSED, L"Check"}, "Tab, Tab");
    // The default action toggles the box, writes it, and says what it would do next.
    EXPECT_EQ(reader.Act(Find(L"AGB")), S_OK);
    Sleep(300);
    EXPECT_NE(folder_->Read("navora.xml").find("currentval=\"true\""), std::string::npos);
    expect(L"AGB",
           {L"AGB", kBox, kFocusable | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_CHECKED, L"Uncheck"},
           "ticked");
    EXPECT_EQ(reader.Act(Find(L"AGB")), S_OK);
    Sleep(300);
    expect(L"AGB", {L"AGB", kBox, kFocusable | STATE_SYSTEM_FOCUSED, L"Check"}, "unticked");
    // A button runs its chain; the reader's call has returned while its box shows.
    EXPECT_EQ(reader.Act(Find(L"Start")), S_OK);
    EXPECT_EQ(BoxText(L"Start"), L"ok");
    // A disabled control runs nothing, a hidden one refuses.
    EXPECT_EQ(reader.Act(Find(L"Grau")), S_OK);
    EXPECT_EQ(reader.Act(Find(L"Versteckt")), E_FAIL);
    EXPECT_EQ(process_->Window(L"Grau", 1), nullptr);
    EXPECT_EQ(process_->Window(L"Versteckt", 1), nullptr);
}

// Switches Windows' high-contrast mode for the user; whether the system took it.
bool SetHighContrast(bool on) {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    contrast.dwFlags = on ? HCF_HIGHCONTRASTON : 0;
    SystemParametersInfoW(SPI_SETHIGHCONTRAST, sizeof contrast, &contrast,
                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    HIGHCONTRASTW now{};
    now.cbSize = sizeof now;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof now, &now, 0) &&
           ((now.dwFlags & HCF_HIGHCONTRASTON) != 0) == on;
}

// With high contrast on, the window and its controls take the system's colours.
TEST_F(Fit, HighContrastDrawsWithTheSystemsColours) {
    const std::string menu = FitMenu({Control("Knopf", 20, ShowBox("Knopf"))});
    Start(menu);
    PointAt(dialog_, 380, 280);
    EXPECT_EQ(ScreenPixel(dialog_, 380, 200), RGB(0, 0, 80));
    EXPECT_EQ(ScreenPixel(Find(L"Knopf"), 1, 1), kFace);
    if (!SetHighContrast(true)) {
        SetHighContrast(false);
        GTEST_SKIP() << "this Wine keeps no high-contrast mode (Windows does)";
    }
    struct Off {
        ~Off() { SetHighContrast(false); }
    } off;
    Restart();
    PointAt(dialog_, 380, 280);
    EXPECT_EQ(ScreenPixel(dialog_, 380, 200), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(ScreenPixel(Find(L"Knopf"), 1, 1), GetSysColor(COLOR_BTNFACE));
    PointAt(Find(L"Knopf"), 60, 10);
    EXPECT_EQ(ScreenPixel(Find(L"Knopf"), 1, 1), GetSysColor(COLOR_HIGHLIGHT));
}

} // namespace
