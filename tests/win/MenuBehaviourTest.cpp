// The complete menu under Wine, driven by real input (pointer moves, clicks,
// key-ups) and checked from outside: looks by pixels, pages by visibility,
// check-box states by the file's bytes.
#include <gtest/gtest.h>
#include <windows.h>

#include <tlhelp32.h>

#include <string>

#include "ProcessWindows.h"

namespace {

const char* const kMenu = R"(<config>
  <General caption="Behaviour" width="500" height="300" bgcolor="0 0 80" windowpos="topleft"/>
  <ToolTippConfig tttype="statictt" width="200" height="30" bgcolor="255 255 225">
    <TTFont font="Arial" fontsize="12" textcolor="0 0 0"/>
    <StaticTTConfig LeftMargin="280" TopMargin="250"/>
  </ToolTippConfig>
  <ButtonConfig>
    <ButtonLayout width="120" height="30" bgcolor="200 100 50" dreid="true"/>
    <ButtonMouseOverLayout bgcolor="255 200 0"/>
    <Font font="Arial" fontsize="12" textcolor="255 255 255"/>
    <MouseOverFont font="Arial" fontsize="12" textcolor="0 0 0"/>
  </ButtonConfig>
  <BtnBeenden>
    <ButtonPosition left="360" top="200"/>
    <ButtonLayout caption="Ende" tabindex="0"/>
    <Command type="beenden"/>
  </BtnBeenden>
  <Pages>
    <Page>
      <A><ButtonPosition left="20" top="20"/>
        <ButtonLayout caption="Weiter" tabindex="2" tooltipp="Seite zwei"/><Command type="weiter"/></A>
      <B><ButtonPosition left="20" top="70"/>
        <ButtonLayout caption="Still" tabindex="1" tooltipp="Ohne Aktion"/></B>
      <C id="agb"><ButtonPosition left="20" top="120"/>
        <ButtonLayout type="checkbox" caption="Merken" width="150" height="20" currentval="x"/></C>
    </Page>
    <Page>
      <D><ButtonPosition left="20" top="20"/>
        <ButtonLayout caption="Zurueck"/><Command type="weiter"/></D>
    </Page>
  </Pages>
</config>
)";

// A button that shows a message box, and a check box, both reachable by Tab.
const char* const kMessageMenu = R"(<config>
  <General caption="Behaviour" width="500" height="300" bgcolor="0 0 80" windowpos="topleft"/>
  <ToolTippConfig tttype="statictt" width="200" height="30"><TTFont font="Arial"/></ToolTippConfig>
  <ButtonConfig><ButtonLayout width="120" height="30" bgcolor="200 100 50"/>
    <Font font="Arial" fontsize="12"/></ButtonConfig>
  <Pages><Page>
    <A><ButtonPosition left="20" top="20"/><ButtonLayout caption="Melden" tabindex="1"/>
      <Command type="showmessage"><ShowMessageCommandConfig message="Hallo" caption="Nachricht"/>
      </Command></A>
    <C id="agb"><ButtonPosition left="20" top="120"/>
      <ButtonLayout type="checkbox" caption="Merken" width="150" height="20" tabindex="2"
        currentval="x"/></C>
  </Page></Pages>
</config>
)";

class Menu : public MenuTest {
protected:
    void Start(const std::wstring& extra = L"", const char* config = kMenu) {
        const std::filesystem::path& dir = NewFolder("navora-menu");
        folder_->Write("menu.xml", config);
        Launch(L"-cfg " + (dir / "menu.xml").wstring() + extra, dir, L"Behaviour");
    }
    HWND Control(const wchar_t* caption) const {
        return FindWindowExW(dialog_, nullptr, L"Button", caption);
    }
    static void Settle() { Sleep(300); }
    std::string File() const { return folder_->Read("menu.xml"); }
    int GreenPixels(HWND box) const {
        int green = 0;
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                green += ScreenPixel(box, x, y) == RGB(0, 255, 0);
            }
        }
        return green;
    }
    bool Ended() const { return process_->EndsWithin(5000); }
    // Whether the menu's process has loaded the module `name` (case as the system gives it),
    // 32-bit modules included: the menu may be the 32-bit build.
    bool Loaded(const wchar_t* name) const {
        const HANDLE snapshot =
            CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, process_->Id());
        if (snapshot == INVALID_HANDLE_VALUE) {
            ADD_FAILURE() << "no module list: " << GetLastError();
            return false;
        }
        MODULEENTRY32W module{};
        module.dwSize = sizeof module;
        bool found = false;
        for (BOOL more = Module32FirstW(snapshot, &module); more && !found;
             more = Module32NextW(snapshot, &module)) {
            found = lstrcmpiW(module.szModule, name) == 0;
        }
        CloseHandle(snapshot);
        return found;
    }
    // Pixels of a button's focus rectangle: the row 3 pixels inside its edges that
    // differ from the background (the dotted line inverts every other one).
    int FocusDots(HWND button, COLORREF background) const {
        int dots = 0;
        for (int x = 4; x < 116; ++x) {
            dots += ScreenPixel(button, x, 3) != background;
        }
        return dots;
    }
};

constexpr COLORREF kButton = RGB(200, 100, 50);
constexpr COLORREF kHover = RGB(255, 200, 0);

TEST_F(Menu, HoverMovesFromButtonToButtonWithItsTooltip) {
    Start();
    const HWND weiter = Control(L"Weiter");
    const HWND still = Control(L"Still");
    ASSERT_TRUE(weiter && still);
    const HWND tip = FindWindowExW(dialog_, nullptr, L"NavoraTipText", nullptr);
    EXPECT_EQ(ScreenPixel(weiter, 110, 15), kButton);
    wchar_t text[64] = L"";
    PointAt(weiter, 100, 10);
    EXPECT_EQ(ScreenPixel(weiter, 110, 15), kHover);
    EXPECT_TRUE(IsWindowVisible(tip));
    GetWindowTextW(tip, text, 64);
    EXPECT_STREQ(text, L"Seite zwei");
    // A button without actions shows its tooltip but no hover look.
    PointAt(still, 100, 12);
    EXPECT_EQ(ScreenPixel(weiter, 110, 15), kButton);
    EXPECT_EQ(ScreenPixel(still, 110, 15), kButton);
    EXPECT_TRUE(IsWindowVisible(tip));
    GetWindowTextW(tip, text, 64);
    EXPECT_STREQ(text, L"Ohne Aktion");
    PointAt(dialog_, 300, 100); // the background: the tooltip goes
    EXPECT_FALSE(IsWindowVisible(tip));
}

TEST_F(Menu, PressedThreeDFrameAndReleaseOnAnotherButton) {
    Start();
    const HWND weiter = Control(L"Weiter");
    const HWND zurueck = Control(L"Zurueck");
    // Raised: light top and left edges, dark bottom and right edges (above the caption's cell).
    constexpr COLORREF light = RGB(255, 150, 75), dark = RGB(20, 10, 5);
    EXPECT_EQ(ScreenPixel(weiter, 0, 2), light);
    EXPECT_EQ(ScreenPixel(weiter, 60, 0), light);
    EXPECT_EQ(ScreenPixel(weiter, 60, 29), dark);
    EXPECT_EQ(ScreenPixel(weiter, 119, 2), dark);
    PointAt(Control(L"Still"), 90, 12);
    MouseButton(true);
    PointAt(weiter, 90, 12); // moving with the button down presses the button under the pointer
    // Sunken: dark top and left edges, light bottom and right edges.
    EXPECT_EQ(ScreenPixel(weiter, 0, 2), dark);
    EXPECT_EQ(ScreenPixel(weiter, 60, 0), dark);
    EXPECT_EQ(ScreenPixel(weiter, 60, 29), light);
    EXPECT_EQ(ScreenPixel(weiter, 119, 2), light);
    MouseButton(false); // released over "Weiter": its chain switches to page two
    EXPECT_TRUE(IsWindowVisible(zurueck));
    EXPECT_FALSE(IsWindowVisible(weiter));
    PointAt(zurueck, 80, 10); // "weiter" on the last page wraps to the first
    MouseButton(true);
    MouseButton(false);
    EXPECT_TRUE(IsWindowVisible(weiter));
}

TEST_F(Menu, CheckBoxTogglesRepaintsAndRewritesTheFile) {
    Start();
    const HWND box = Control(L"Merken");
    ASSERT_NE(box, nullptr);
    EXPECT_NE(File().find("currentval=\"false\""), std::string::npos); // written at start-up
    EXPECT_EQ(GreenPixels(box), 0);
    PointAt(box, 10, 10);
    MouseButton(true);
    MouseButton(false);
    EXPECT_GT(GreenPixels(box), 10);
    EXPECT_NE(File().find("currentval=\"true\""), std::string::npos);
    MouseButton(true);
    MouseButton(false);
    EXPECT_EQ(GreenPixels(box), 0);
    EXPECT_NE(File().find("currentval=\"false\""), std::string::npos);
}

TEST_F(Menu, PresetChecksEveryCheckBox) {
    Start(L" -setchk true");
    EXPECT_GT(GreenPixels(Control(L"Merken")), 10);
    EXPECT_NE(File().find("currentval=\"true\""), std::string::npos);
}

TEST_F(Menu, TabWalksTheTabOrderAndEnterPresses) {
    Start();
    PointAt(dialog_, 300, 100);
    // Tab order: the quit button (0) first, then "Still" (1), then "Weiter" (2).
    Key(VK_TAB);
    Key(VK_TAB);
    Key(VK_TAB);
    Key(VK_RETURN); // presses "Weiter": page two
    EXPECT_TRUE(IsWindowVisible(Control(L"Zurueck")));
    PostMessageW(dialog_, WM_KEYDOWN, VK_ESCAPE, 0); // Escape acts on key-up only
    Settle();
    EXPECT_FALSE(process_->EndsWithin(0));
    Key(VK_ESCAPE);
    EXPECT_TRUE(Ended());
}

// A message box closes on a key's press; the release then reaches the menu and
// must not act there: neither quit, nor toggle, nor press the highlighted control.
TEST_F(Menu, KeyThatClosesAMessageBoxActsOnlyThere) {
    const struct {
        const char* what;
        int tabs; // 1 highlights "Melden", 2 the check box
        WORD key;
    } cases[] = {
        {"Escape", 0, VK_ESCAPE},
        {"Enter, button highlighted", 1, VK_RETURN},
        {"Enter, check box highlighted", 2, VK_RETURN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Start(L"", kMessageMenu);
        for (int i = 0; i < c.tabs; ++i) {
            Key(VK_TAB);
        }
        PointAt(Control(L"Melden"), 60, 15);
        MouseButton(true);
        MouseButton(false);
        const HWND box = FindWindowW(L"#32770", L"Nachricht");
        ASSERT_NE(box, nullptr);
        Key(c.key);
        EXPECT_FALSE(IsWindow(box));
        EXPECT_FALSE(process_->EndsWithin(0));
        EXPECT_EQ(FindWindowW(L"#32770", L"Nachricht"), nullptr); // no second run of the chain
        EXPECT_NE(File().find("currentval=\"false\""), std::string::npos); // not toggled
        Stop();
    }
}

// The menu's own controls are owner-drawn: the common controls library is loaded only for
// what the system draws, a message box here, which it then draws in that library's look.
TEST_F(Menu, CommonControlsOnlyForTheMessageBox) {
    Start(L"", kMessageMenu);
    EXPECT_TRUE(Loaded(L"user32.dll"));
    EXPECT_FALSE(Loaded(L"comctl32.dll"));
    PointAt(Control(L"Melden"), 60, 15);
    MouseButton(true);
    MouseButton(false);
    const HWND box = FindWindowW(L"#32770", L"Nachricht");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(Loaded(L"comctl32.dll"));
    Key(VK_RETURN);
    EXPECT_FALSE(IsWindow(box));
}

TEST_F(Menu, PageChangeClearsTheFocusLook) {
    Start();
    const HWND still = Control(L"Still");
    const HWND ende = Control(L"Ende");
    PointAt(dialog_, 300, 100);
    Key(VK_TAB); // the quit button
    Key(VK_TAB); // "Still"
    EXPECT_GT(FocusDots(still, kButton), 20);
    EXPECT_EQ(FocusDots(ende, kButton), 0);
    PointAt(Control(L"Weiter"), 60, 10); // to page two and back by mouse
    MouseButton(true);
    MouseButton(false);
    PointAt(Control(L"Zurueck"), 60, 10);
    MouseButton(true);
    MouseButton(false);
    PointAt(dialog_, 300, 100);
    ASSERT_TRUE(IsWindowVisible(still));
    EXPECT_EQ(FocusDots(still, kButton), 0);
    Key(VK_TAB); // the highlight starts afresh, on the quit button alone
    EXPECT_EQ(FocusDots(still, kButton), 0);
    EXPECT_GT(FocusDots(ende, kButton), 20);
}

// Between page changes the menu leaves its controls' visibility alone: showing
// every control before every message kept a core busy with thousands of them.
TEST_F(Menu, ControlsAreShownAgainOnlyWhenThePageChanges) {
    Start();
    const HWND still = Control(L"Still");
    ShowWindow(still, SW_HIDE);
    PointAt(dialog_, 300, 100); // messages pass through the menu's loop
    PointAt(dialog_, 310, 120);
    EXPECT_FALSE(IsWindowVisible(still));
    PointAt(Control(L"Weiter"), 60, 10);
    MouseButton(true);
    MouseButton(false);
    PointAt(Control(L"Zurueck"), 60, 10);
    MouseButton(true);
    MouseButton(false);
    EXPECT_TRUE(IsWindowVisible(still));
}

TEST_F(Menu, DraggingMovesTheWindowAndResizingIsUndone) {
    Start();
    RECT before;
    GetWindowRect(dialog_, &before);
    PointAt(dialog_, 300, 100);
    MouseButton(true);
    PointAt(dialog_, 340, 130); // client coordinates move with the window
    MouseButton(false);
    RECT after;
    GetWindowRect(dialog_, &after);
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 30);
    SetWindowPos(dialog_, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(dialog_, nullptr, TRUE);
    Settle();
    RECT resized;
    GetWindowRect(dialog_, &resized);
    EXPECT_EQ(resized.right - resized.left, before.right - before.left);
    EXPECT_EQ(resized.bottom - resized.top, before.bottom - before.top);
}

} // namespace
