// navora-design driven from outside: what it shows beside the menu (the checker's findings,
// hover looks, the status line), its properties window, and reloads after outside saves.
#include <windows.h>

#include <dlgs.h>

#include <cstdio>

#include "DesignTestSupport.h"

namespace {

TEST_F(DesignTest, MarksTheCheckersFindings) {
    // The check box moved onto the button: the checker's overlap, drawn as a red outline.
    Start(Replaced(kConfig, "left=\"20\" top=\"100\"", "left=\"20\" top=\"30\""));
    EXPECT_NE(StatusText(process_->Id()).find(L"|  1 finding of"), std::wstring::npos)
        << StatusText(process_->Id());
    EXPECT_EQ(ScreenPixel(dialog_, 20, 55), RGB(255, 0, 0));
    EXPECT_NE(ScreenPixel(dialog_, 20, 25), RGB(255, 0, 0));
    EXPECT_NE(ScreenPixel(dialog_, 0, 200), RGB(255, 0, 0)); // nothing on the window itself

    // Any finding: an attribute the menu does not know on the button's Command and one on
    // General, which the window itself shows with a frame inside its edge.
    Start(Replaced(Replaced(kConfig, "<Command type=\"showmessage\">",
                            "<Command type=\"showmessage\" colour=\"1\">"),
                   "height=\"300\"", "height=\"300\" colour=\"1\""));
    EXPECT_NE(StatusText(process_->Id()).find(L"|  2 findings of"), std::wstring::npos)
        << StatusText(process_->Id());
    EXPECT_EQ(ScreenPixel(dialog_, 20, 35), RGB(255, 0, 0));  // Hello's left edge
    EXPECT_NE(ScreenPixel(dialog_, 20, 105), RGB(255, 0, 0)); // Tick has none
    EXPECT_EQ(ScreenPixel(dialog_, 0, 200), RGB(255, 0, 0));  // the window's edge
    EXPECT_EQ(ScreenPixel(dialog_, 1, 200), RGB(255, 0, 0));
}

// Resting on a control shows its hover look and its tooltip where the menu shows them, and
// runs nothing; off it, both go.
TEST_F(DesignTest, HoverLooksAndTooltipsShowUnderTheRestingPointer) {
    const std::string config =
        Replaced(Replaced(Replaced(kConfig, "bgcolor=\"0 0 0\"", "bgcolor=\"0 0 120\""),
                          "<ToolTippConfig tttype=\"cursortt\" width=\"100\" height=\"30\"/>",
                          "<ToolTippConfig tttype=\"statictt\" width=\"100\" height=\"30\" "
                          "bgcolor=\"255 255 0\"><StaticTTConfig LeftMargin=\"200\" "
                          "TopMargin=\"20\"/></ToolTippConfig>"),
                 "<ButtonLayout caption=\"Hello\"/>",
                 "<ButtonLayout caption=\"Hello\" tooltipp=\"Says hello\"/><ButtonMouseOverLayout "
                 "bgcolor=\"0 200 0\"/>");
    Start(config);
    struct {
        POINT at;
        COLORREF hello;
        COLORREF tip;
    } const rests[] = {
        {{300, 150}, RGB(200, 100, 50), RGB(0, 0, 120)}, // the background: the tip area too
        {{60, 35}, RGB(0, 200, 0), RGB(255, 255, 0)},    // on Hello
        {{300, 150}, RGB(200, 100, 50), RGB(0, 0, 120)},
    };
    for (const auto& rest : rests) {
        PointAt(dialog_, rest.at.x, rest.at.y, 600);
        EXPECT_EQ(ScreenPixel(dialog_, 110, 45), rest.hello) << rest.at.x;
        EXPECT_EQ(ScreenPixel(dialog_, 202, 22), rest.tip) << rest.at.x;
    }
    EXPECT_EQ(VisibleBoxesOf(process_->Id()).size(), 1u); // the dialog alone
    EXPECT_EQ(File(), config);
}

// The process's properties window, or none while it is not shown.
HWND PropertiesWindow(DWORD pid) {
    for (HWND w = nullptr;
         (w = FindWindowExW(nullptr, w, L"NavoraDesignProperties", nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid && IsWindowVisible(w)) {
            return w;
        }
    }
    return nullptr;
}

// Asked of the window itself: another process's edit control keeps its text to itself.
std::wstring Text(HWND w) {
    wchar_t text[4096] = L"";
    SendMessageW(w, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text));
    return text;
}

// The window made after the label `name` of a properties row: its field; then its source. The
// label's text matches with its letter case, unlike FindWindowEx's: "font" is not "Font".
HWND RowPart(HWND properties, const wchar_t* name, int after = 1) {
    HWND w = nullptr;
    while ((w = FindWindowExW(properties, w, L"Static", name)) != nullptr && Text(w) != name) {
    }
    for (int i = 0; i < after && w != nullptr; ++i) {
        w = GetWindow(w, GW_HWNDNEXT);
    }
    return w;
}

// F4, the context menu and Alt with a double click open the properties window; Enter in a
// field writes that attribute alone, as one undo step, and the view shows it.
TEST_F(DesignTest, ThePropertiesWindowWritesOneAttributeInPlace) {
    Start();
    const DWORD pid = process_->Id();
    SetWindowPos(dialog_, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER); // room on its right
    Sleep(300);
    PointAt(dialog_, 30, 30);
    MouseButton(true);
    MouseButton(false);
    Key(VK_F4);
    HWND properties = PropertiesWindow(pid);
    ASSERT_NE(properties, nullptr);
    EXPECT_EQ(Text(properties), L"Properties \u2014 \"Hello\"");
    RECT menu;
    RECT beside;
    GetWindowRect(dialog_, &menu);
    GetWindowRect(properties, &beside);
    EXPECT_FALSE(IntersectRect(&beside, &beside, &menu)); // beside the menu, not over it
    const HWND bgcolor = RowPart(properties, L"bgcolor");
    EXPECT_EQ(Text(bgcolor), L"200 100 50");
    EXPECT_EQ(Text(RowPart(properties, L"bgcolor", 3)), L"ButtonConfig"); // after its "..."
    EXPECT_EQ(Text(RowPart(properties, L"caption", 2)), L"own element");
    EXPECT_EQ(Text(RowPart(properties, L"tooltipp", 2)), L"default");
    std::wstring all;
    for (HWND w = GetWindow(properties, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        all += Text(w) + L"\n";
    }
    EXPECT_NE(all.find(L"showmessage"), std::wstring::npos) << "the chain as the walk prints it";

    // Typed into the field: Enter writes the value into the control's own ButtonLayout.
    RECT field;
    GetWindowRect(bgcolor, &field);
    SetCursorPos(field.left + 5, field.top + 5);
    MouseButton(true);
    MouseButton(false);
    Key(VK_HOME, 50);
    Chord({VK_SHIFT, VK_END});
    for (const WORD key :
         std::initializer_list<WORD>{'0', VK_SPACE, '2', '0', '0', VK_SPACE, '0'}) {
        Key(key, 50);
    }
    Key(VK_RETURN);
    const std::string green = Replaced(kConfig, "<ButtonLayout caption=\"Hello\"/>",
                                       "<ButtonLayout caption=\"Hello\" bgcolor=\"0 200 0\"/>");
    EXPECT_EQ(File(), green);
    dialog_ = process_->Window(kTitle, 5);
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(dialog_, 100, 45) == RGB(0, 200, 0); }));
    properties = PropertiesWindow(pid);
    ASSERT_NE(properties, nullptr); // open again after the view is built anew
    EXPECT_EQ(Text(RowPart(properties, L"bgcolor", 3)), L"own element");

    // A value the file cannot take is refused; the file keeps its bytes.
    GetWindowRect(RowPart(properties, L"caption"), &field);
    SetCursorPos(field.left + 5, field.top + 5);
    MouseButton(true);
    MouseButton(false);
    Chord({VK_SHIFT, VK_OEM_PERIOD});
    Key(VK_RETURN);
    EXPECT_EQ(File(), green);
    EXPECT_EQ(StatusText(pid).rfind(L"Not written", 0), 0u) << StatusText(pid);

    // A value the menu stops on (no caption) is taken back at once, and the undo steps stay.
    Key(VK_HOME, 50);
    Chord({VK_SHIFT, VK_END});
    Key(VK_DELETE, 50);
    Key(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] {
        return StatusText(pid).find(L"Caption f\u00fcr Button") != std::wstring::npos;
    })) << StatusText(pid);
    EXPECT_EQ(StatusText(pid).rfind(L"Not written", 0), 0u) << StatusText(pid);
    EXPECT_EQ(File(), green);
    dialog_ = process_->Window(kTitle, 5);

    // One undo step gives the bytes back.
    SetForegroundWindow(dialog_);
    PointAt(dialog_, 30, 30);
    MouseButton(true);
    MouseButton(false);
    Chord({VK_CONTROL, 'Z'});
    EXPECT_EQ(File(), kConfig);
    dialog_ = process_->Window(kTitle, 5);
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixel(dialog_, 100, 45) == RGB(200, 100, 50); }));

    // The context menu opens it for the control under the pointer, as Alt with a double
    // click does.
    SendMessageW(PropertiesWindow(pid), WM_CLOSE, 0, 0);
    Sleep(300);
    ASSERT_EQ(PropertiesWindow(pid), nullptr);
    PointAt(dialog_, 30, 110);
    mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
    Sleep(300);
    Key('P'); // the menu's item "Properties"
    ASSERT_NE(PropertiesWindow(pid), nullptr);
    EXPECT_EQ(Text(PropertiesWindow(pid)), L"Properties \u2014 \"Tick\"");
    EXPECT_EQ(Text(RowPart(PropertiesWindow(pid), L"defaultval")), L"true");
    SendMessageW(PropertiesWindow(pid), WM_CLOSE, 0, 0);
    INPUT alt{};
    alt.type = INPUT_KEYBOARD;
    alt.ki.wVk = VK_MENU;
    SendInput(1, &alt, sizeof alt);
    PointAt(dialog_, 30, 30);
    for (const DWORD button :
         {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        mouse_event(button, 0, 0, 0, 0);
    }
    alt.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &alt, sizeof alt);
    Sleep(300);
    ASSERT_NE(PropertiesWindow(pid), nullptr);
    EXPECT_EQ(Text(PropertiesWindow(pid)), L"Properties \u2014 \"Hello\"");
    EXPECT_EQ(File(), kConfig);
}

// The colour, file and font dialogs of the properties window write what is chosen: the colour
// as "R G B", a picture in the menu's folder by its path relative to it, a font as its face and
// style words in a Font element the control gets. With nothing selected the window lists the
// menu's General element.
TEST_F(DesignTest, ThePropertiesWindowsDialogsWriteWhatIsChosen) {
    Start();
    folder_->Write("face.bmp", "BM"); // chosen by name only: the dialog needs it to exist
    const DWORD pid = process_->Id();
    SetWindowPos(dialog_, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Sleep(300);
    PointAt(dialog_, 30, 30);
    MouseButton(true);
    MouseButton(false);
    Key(VK_F4);
    const auto type = [](std::initializer_list<WORD> keys) {
        for (const WORD key : keys) {
            Key(key, 50);
        }
    };
    struct Choice {
        POINT click; // on the menu first: a control, or where none is
        const wchar_t* title;
        const wchar_t* row;
        std::function<void()> choose; // in the dialog
        std::string from;
        std::string to;
    };
    const std::vector<Choice> choices = {
        // The dialog starts at the colour in effect, ButtonConfig's: Enter takes it.
        {{30, 30},
         L"Properties \u2014 \"Hello\"",
         L"bgcolor",
         [] { Key(VK_RETURN); },
         "<ButtonLayout caption=\"Hello\"/>",
         "<ButtonLayout caption=\"Hello\" bgcolor=\"200 100 50\"/>"},
        {{30, 30},
         L"Properties \u2014 \"Hello\"",
         L"icon",
         [&] {
             type({'F', 'A', 'C', 'E', VK_OEM_PERIOD, 'B', 'M', 'P', VK_RETURN});
         },
         "\"Hello\" bgcolor=\"200 100 50\"/>",
         "\"Hello\" bgcolor=\"200 100 50\" icon=\"face.bmp\"/>"},
        // The face typed over the one selected, Underline ticked, then OK.
        {{30, 30},
         L"Properties \u2014 \"Hello\"",
         L"font",
         [&] {
             Chord({VK_SHIFT, 'T'});
             type({'A', 'H', 'O', 'M', 'A'});
             // The dialog's Underline box: chx2 in the documented template.
             const HWND font = FindWindowW(L"#32770", L"Font");
             RECT box{};
             GetWindowRect(GetDlgItem(font, chx2), &box);
             SetCursorPos(box.left + 6, (box.top + box.bottom) / 2);
             MouseButton(true);
             MouseButton(false);
             Key(VK_RETURN);
         },
         "<Button>\r\n        <ButtonPosition   left",
         "<Button>\r\n        <Font font=\"Tahoma Underline\"/>\r\n        <ButtonPosition   left"},
        {{250, 160},
         L"Properties \u2014 General",
         L"background",
         [&] {
             type({'F', 'A', 'C', 'E', VK_OEM_PERIOD, 'B', 'M', 'P', VK_RETURN});
         },
         "bgcolor=\"0 0 0\"/>",
         "bgcolor=\"0 0 0\" background=\"face.bmp\"/>"},
    };
    std::string file = kConfig;
    for (const Choice& choice : choices) {
        dialog_ = process_->Window(kTitle, 5); // built anew after each write
        SetForegroundWindow(dialog_);
        PointAt(dialog_, choice.click.x, choice.click.y);
        MouseButton(true);
        MouseButton(false);
        HWND properties = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            properties = PropertiesWindow(pid);
            return properties != nullptr && Text(properties) == choice.title &&
                   RowPart(properties, choice.row, 2) != nullptr;
        })) << choice.row;
        // The row scrolled into view, as its scroll bar's arrows would.
        RECT button;
        RECT client;
        GetClientRect(properties, &client);
        MapWindowPoints(properties, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
        for (int step = 0; step < 100; ++step) {
            GetWindowRect(RowPart(properties, choice.row, 2), &button);
            if (button.top >= client.top && button.bottom <= client.bottom) {
                break;
            }
            SendMessageW(properties, WM_VSCROLL, button.top < client.top ? SB_LINEUP : SB_LINEDOWN,
                         0);
        }
        SetCursorPos(button.left + 5, button.top + 5);
        MouseButton(true);
        MouseButton(false);
        EXPECT_TRUE(WaitUntil([&] { return VisibleBoxesOf(pid).size() == 2; })) << "its dialog";
        Sleep(500);
        choice.choose();
        file = Replaced(file, choice.from, choice.to);
        EXPECT_TRUE(WaitUntil([&] { return File() == file; })) << File();
    }
}

// Wherever the window stands, its status line is on the screen.
TEST_F(DesignTest, TheStatusLineStaysOnTheScreen) {
    Start();
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    for (const POINT at : {POINT{100, 100}, POINT{work.right - 200, work.bottom - 150},
                           POINT{-150, work.bottom - 320}}) {
        SetWindowPos(dialog_, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Sleep(300);
        RECT status{};
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"Static", nullptr)) != nullptr;) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == process_->Id()) {
                GetWindowRect(w, &status);
            }
        }
        RECT inside;
        EXPECT_TRUE(IntersectRect(&inside, &status, &work) && EqualRect(&inside, &status))
            << at.x << "," << at.y << ": " << status.left << "," << status.top << " "
            << status.right << "," << status.bottom;
        EXPECT_GT(status.right - status.left, 100);
    }
}

TEST_F(DesignTest, ReloadsOnOutsideSavesAndKeepsTheLastGoodView) {
    Start();
    const DWORD pid = process_->Id();
    folder_->Write("menu.xml",
                   Replaced(kConfig, "left=\"20\" top=\"100\"", "left=\"60\" top=\"100\""));
    ASSERT_TRUE(WaitUntil([&] {
        const HWND d = WaitForProcessWindow(pid, kTitle, 0);
        return d != nullptr && ControlRect(d, L"Tick").left == 60;
    }));
    folder_->Write("menu.xml", "<config>\r\n  <General caption=\"x\"\r\n");
    ASSERT_TRUE(WaitUntil([&] { return StatusText(pid).find(L"menu.xml:") == 0; }));
    EXPECT_NE(StatusText(pid).find(L":2:"), std::wstring::npos) << StatusText(pid);
    // The checker's words, not the system's for a bad parameter.
    EXPECT_NE(StatusText(pid).find(L"the menu cannot read this file: "), std::wstring::npos)
        << StatusText(pid);
    EXPECT_EQ(ControlRect(WaitForProcessWindow(pid, kTitle, 0), L"Tick").left, 60);
    // A file the menu stops on: its message, and the last good view.
    folder_->Write("menu.xml", Replaced(kConfig, "caption=\"Hello\"", "caption=\"\""));
    ASSERT_TRUE(WaitUntil(
        [&] { return StatusText(pid).find(L"Caption f\u00fcr Button") != std::wstring::npos; }));
    EXPECT_EQ(ControlRect(WaitForProcessWindow(pid, kTitle, 0), L"Tick").left, 60);
    folder_->Write("menu.xml", kConfig);
    EXPECT_TRUE(WaitUntil([&] {
        const HWND d = WaitForProcessWindow(pid, kTitle, 0);
        return d != nullptr && ControlRect(d, L"Tick").left == 20;
    }));
    // A save as editors make it: another file renamed over it. The change notice comes at
    // once; the time is printed, not asserted.
    folder_->Write("menu.tmp",
                   Replaced(kConfig, "left=\"20\" top=\"100\"", "left=\"70\" top=\"100\""));
    const DWORD saved = GetTickCount();
    // While the view reads the file after the last save, Windows refuses a rename over it:
    // the save is tried again, as editors do.
    ASSERT_TRUE(WaitUntil(
        [&] {
            return MoveFileExW((folder_->Path() / "menu.tmp").c_str(),
                               (folder_->Path() / "menu.xml").c_str(),
                               MOVEFILE_REPLACE_EXISTING) != FALSE;
        },
        2000, 10));
    EXPECT_TRUE(WaitUntil(
        [&] {
            const HWND d = WaitForProcessWindow(pid, kTitle, 0);
            return d != nullptr && ControlRect(d, L"Tick").left == 70;
        },
        10000, 10));
    std::printf("reloaded %lu ms after a save\n", GetTickCount() - saved);
}

} // namespace
