// navora-design driven from outside with real mouse and keys: each finished change is in the
// file byte for byte as expected, undoing all gives the original bytes, and clicks run
// nothing.
#include "DesignTestSupport.h"

namespace {

TEST_F(DesignTest, EachChangeIsWrittenInPlaceAndUndoRestoresTheBytes) {
    Start();
    // Start states are not recorded, and a click runs no chain and shows no box.
    EXPECT_EQ(File(), kConfig);
    PointAt(dialog_, 50, 110);
    MouseButton(true);
    MouseButton(false);
    PointAt(dialog_, 30, 30);
    MouseButton(true);
    MouseButton(false);
    EXPECT_EQ(VisibleBoxesOf(process_->Id()).size(), 1u); // the dialog alone
    EXPECT_EQ(File(), kConfig);

    struct Step {
        const char* what;
        std::function<void()> act;
        const char* from;
        const char* to;
    };
    const HWND d = dialog_;
    const std::vector<Step> steps = {
        {"arrow nudges by 1", [] { Key(VK_RIGHT); }, "left=\"20\" top=\"20\"",
         "left=\"21\" top=\"20\""},
        {"Shift+arrow by 10",
         [] {
             Chord({VK_SHIFT, VK_DOWN});
         },
         "left=\"21\" top=\"20\"", "left=\"21\" top=\"30\""},
        {"drag moves",
         [d] {
             Drag(d, {40, 40}, {70, 55});
         },
         "left=\"21\" top=\"30\"", "left=\"51\" top=\"45\""},
        // The inherited size goes onto the control's own ButtonLayout.
        {"Ctrl+arrow resizes",
         [] {
             Chord({VK_CONTROL, VK_RIGHT});
         },
         "caption=\"Hello\"/>", "caption=\"Hello\" width=\"101\"/>"},
        {"corner drag resizes",
         [d] {
             Drag(d, {149, 72}, {160, 90});
         },
         "width=\"101\"/>", "width=\"112\" height=\"48\"/>"},
        {"the quit button moves, runs nothing",
         [d] {
             PointAt(d, 300, 260);
             MouseButton(true);
             MouseButton(false);
             Key(VK_LEFT);
         },
         "left=\"280\" top=\"250\"", "left=\"279\" top=\"250\""},
        {"F2 edits the caption",
         [] {
             Key(VK_F2);
             Key('O');
             Key('K');
             Key(VK_RETURN);
         },
         "caption=\"Quit\"", "caption=\"ok\""},
        // A typed "&" is written doubled, so the menu shows it and underlines nothing.
        {"F2 types an ampersand",
         [] {
             Key(VK_F2);
             Key(VK_END);
             Chord({VK_SHIFT, '7'});
             Key(VK_RETURN);
         },
         "caption=\"ok\"", "caption=\"ok&&\""},
        {"F2 shows it single and keeps it",
         [] {
             Key(VK_F2);
             Key(VK_END);
             Key('X');
             Key(VK_RETURN);
         },
         "caption=\"ok&&\"", "caption=\"ok&&x\""},
    };
    std::vector<std::string> files{kConfig};
    for (const Step& step : steps) {
        step.act();
        files.push_back(Replaced(files.back(), step.from, step.to));
        EXPECT_EQ(File(), files.back()) << step.what;
    }
    EXPECT_EQ(VisibleBoxesOf(process_->Id()).size(), 1u); // the dialog alone
    EXPECT_EQ(ControlRect(dialog_, L"Hello").left, 51);

    for (std::size_t i = steps.size(); i-- > 0;) {
        Chord({VK_CONTROL, 'Z'});
        EXPECT_EQ(File(), files[i]) << "undo " << steps[i].what;
    }
    EXPECT_EQ(ControlRect(dialog_, L"Hello").left, 20);
    Chord({VK_CONTROL, 'Y'});
    EXPECT_EQ(File(), files[1]);
}

// Items added, copied and deleted, a first move that writes a position, and several controls
// at once: each row is one key or mouse action and the file's bytes after it; then each undo
// gives the bytes before its row.
TEST_F(DesignTest, AddCopyDeleteAndSeveralControlsAtOnce) {
    // The check box has no ButtonPosition of its own (it stands at 0,0), a width and a height.
    const std::string config =
        Replaced(Replaced(kConfig, "        <ButtonPosition left=\"20\" top=\"100\"/>\r\n", ""),
                 "caption=\"Tick\"", "caption=\"Tick\" width=\"80\" height=\"20\"");
    Start(config);
    const std::string added = "left=\"200\" top=\"150\"/>\r\n"
                              "        <ButtonLayout caption=\"Button\" width=\"100\" "
                              "height=\"30\"/>\r\n      </Button>";
    const std::string copy = "\r\n      <Button>\r\n        <ButtonPosition left=\"210\" "
                             "top=\"160\"/>\r\n        <ButtonLayout caption=\"Button\" "
                             "width=\"100\" height=\"30\"/>\r\n      </Button>";
    const std::string tickStart = "<Button id=\"tick\">\r\n";
    // Shift goes down after the pointer has moved: under Wine the pointer's move brings the
    // X server's modifier state, without the key sent here.
    const auto click = [this](int x, int y, bool shift) {
        PointAt(dialog_, x, y);
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = VK_SHIFT;
        if (shift) {
            SendInput(1, &in, sizeof in);
        }
        MouseButton(true);
        MouseButton(false);
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        if (shift) {
            SendInput(1, &in, sizeof in);
        }
    };
    struct Row {
        const char* what;
        std::function<void()> act;
        std::vector<std::pair<std::string, std::string>> edits; // from, to
        bool rebuilds;                                          // controls come or go
    };
    const std::vector<Row> rows = {
        {"Insert adds a button where the last click was",
         [&] {
             click(200, 150, false);
             Key(VK_INSERT);
         },
         {{"caption=\"Tick\" width=\"80\" height=\"20\" defaultval=\"true\" "
           "currentval=\"false\"/>\r\n      </Button>",
           "caption=\"Tick\" width=\"80\" height=\"20\" defaultval=\"true\" "
           "currentval=\"false\"/>\r\n      </Button>\r\n      <Button>\r\n        "
           "<ButtonPosition " +
               added}},
         true},
        {"Ctrl+D copies it 10,10 further",
         [] {
             Chord({VK_CONTROL, 'D'});
         },
         {{added, added + copy}},
         true},
        {"Delete removes the copy's lines", [] { Key(VK_DELETE); }, {{added + copy, added}}, true},
        {"Shift+click adds to the selection, an arrow moves both and places the check box",
         [&] {
             click(30, 30, false);
             click(10, 10, true);
             Key(VK_RIGHT);
         },
         {{"left=\"20\" top=\"20\"", "left=\"21\" top=\"20\""},
          {tickStart, tickStart + "        <ButtonPosition left=\"1\" top=\"0\"/>\r\n"}},
         false},
        {"a drag moves both",
         [this] {
             Drag(dialog_, {40, 40}, {60, 50});
         },
         {{"left=\"21\" top=\"20\"", "left=\"41\" top=\"30\""},
          {"left=\"1\" top=\"0\"", "left=\"21\" top=\"10\""}},
         false},
        {"Ctrl+Alt+Right: the right edge of the first selected",
         [] {
             Chord({VK_CONTROL, VK_MENU, VK_RIGHT});
         },
         {{"left=\"21\" top=\"10\"", "left=\"61\" top=\"10\""}},
         false},
        {"Ctrl+Alt+Down: its bottom edge",
         [] {
             Chord({VK_CONTROL, VK_MENU, VK_DOWN});
         },
         {{"left=\"61\" top=\"10\"", "left=\"61\" top=\"40\""}},
         false},
        {"Ctrl+Alt+Left: its left edge",
         [] {
             Chord({VK_CONTROL, VK_MENU, VK_LEFT});
         },
         {{"left=\"61\" top=\"40\"", "left=\"41\" top=\"40\""}},
         false},
        {"Ctrl+Alt+Up: its top edge",
         [] {
             Chord({VK_CONTROL, VK_MENU, VK_UP});
         },
         {{"left=\"41\" top=\"40\"", "left=\"41\" top=\"30\""}},
         false},
        {"Ctrl+Alt+W: its width",
         [] {
             Chord({VK_CONTROL, VK_MENU, 'W'});
         },
         {{"width=\"80\"", "width=\"100\""}},
         false},
        {"Ctrl+Alt+H: its height",
         [] {
             Chord({VK_CONTROL, VK_MENU, 'H'});
         },
         {{"height=\"20\"", "height=\"30\""}},
         false},
    };
    std::vector<std::string> files{config};
    for (const Row& row : rows) {
        row.act();
        std::string next = files.back();
        for (const auto& [from, to] : row.edits) {
            next = Replaced(next, from, to);
        }
        files.push_back(next);
        EXPECT_EQ(File(), files.back()) << row.what;
        if (row.rebuilds) {
            Sleep(500);
            dialog_ = process_->Window(kTitle, 5);
            SetForegroundWindow(dialog_);
        }
    }
    EXPECT_EQ(VisibleBoxesOf(process_->Id()).size(), 1u); // nothing ran
    for (std::size_t i = rows.size(); i-- > 0;) {
        Chord({VK_CONTROL, 'Z'});
        EXPECT_EQ(File(), files[i]) << "undo " << rows[i].what;
        if (rows[i].rebuilds) {
            Sleep(500);
            dialog_ = process_->Window(kTitle, 5);
            SetForegroundWindow(dialog_);
        }
    }
}

// Whatever comes between a drag's button down and up ends the drag and puts the control back:
// after the button goes up, the file holds what that action alone gives and every control
// stands where the file has it.
TEST_F(DesignTest, ADragEndedByAnythingButTheButtonPutsTheControlBack) {
    const std::string tickMoved =
        Replaced(kConfig, "left=\"20\" top=\"100\"", "left=\"21\" top=\"100\"");
    const std::string outsideSave =
        Replaced(kConfig, "left=\"20\" top=\"100\"", "left=\"60\" top=\"100\"");
    struct Case {
        const char* what;
        std::function<void()> before; // steps before the drag
        std::function<void()> during; // what comes between down and up
        std::string file;             // the file afterwards
        LONG tickLeft;                // where the file has the check box
    };
    const auto nudge = [this] {
        PointAt(dialog_, 30, 110);
        MouseButton(true);
        MouseButton(false);
        Key(VK_RIGHT);
    };
    const std::vector<Case> cases = {
        {"Escape", nullptr, [] { Key(VK_ESCAPE); }, kConfig, 20},
        {"Page Down", nullptr, [] { Key(VK_NEXT); }, kConfig, 20},
        {"Page Up", nullptr, [] { Key(VK_PRIOR); }, kConfig, 20},
        // The undo takes back the check box's step; nothing of the drag goes into it.
        {"Ctrl+Z", nudge,
         [] {
             Chord({VK_CONTROL, 'Z'});
         },
         kConfig, 20},
        {"Ctrl+Y",
         [nudge] {
             nudge();
             Chord({VK_CONTROL, 'Z'});
         },
         [] {
             Chord({VK_CONTROL, 'Y'});
         },
         tickMoved, 21},
        {"a lost mouse capture", nullptr, [this] { TakeCapture(dialog_); }, kConfig, 20},
        {"a reload", nullptr,
         [this, outsideSave] {
             folder_->Write("menu.xml", outsideSave);
             Sleep(1500);
         },
         outsideSave, 60},
    };
    for (const Case& c : cases) {
        Start();
        if (c.before) {
            c.before();
        }
        PointAt(dialog_, 40, 40);
        MouseButton(true);
        PointAt(dialog_, 60, 70);
        c.during();
        PointAt(dialog_, 90, 80);
        MouseButton(false);
        dialog_ = process_->Window(kTitle, 5);
        if (!IsWindowVisible(FindWindowExW(dialog_, nullptr, L"Button", L"Hello"))) {
            Key(VK_PRIOR); // back to the first page
        }
        EXPECT_EQ(File(), c.file) << c.what;
        const struct {
            const wchar_t* caption;
            RECT r;
        } controls[] = {{L"Hello", {20, 20, 120, 50}},
                        {L"Tick", {c.tickLeft, 100, c.tickLeft + 100, 130}},
                        {L"Quit", {280, 250, 380, 280}}};
        for (const auto& control : controls) {
            const RECT r = ControlRect(dialog_, control.caption);
            EXPECT_TRUE(EqualRect(&r, &control.r))
                << c.what << ": control " << &control - controls << " at " << r.left << "," << r.top
                << " " << r.right << "," << r.bottom;
        }
    }
}

TEST_F(DesignTest, AClickWhereControlsOverlapSelectsTheOneDrawnOnTop) {
    // The check box moved over the green button's lower right part.
    const std::string config =
        Replaced(Replaced(kConfig, "<ButtonLayout caption=\"Hello\"/>",
                          "<ButtonLayout caption=\"Hello\" bgcolor=\"0 200 0\"/>"),
                 "left=\"20\" top=\"100\"", "left=\"60\" top=\"30\"");
    Start(config);
    const COLORREF shown = ScreenPixel(dialog_, 115, 47);
    ASSERT_TRUE(shown == RGB(0, 200, 0) || shown == RGB(200, 100, 50)) << std::hex << shown;
    const std::wstring top = shown == RGB(0, 200, 0) ? L"\"Hello\"" : L"\"Tick\"";
    PointAt(dialog_, 115, 47);
    MouseButton(true);
    MouseButton(false);
    EXPECT_EQ(StatusText(process_->Id()).rfind(top, 0), 0u)
        << (shown == RGB(0, 200, 0) ? "Hello" : "Tick") << " is drawn on top";
    EXPECT_EQ(File(), config); // a click moves nothing
}

// "Caf\xE9" in Windows-1252 reads as "Caf\uFFFD": a caption edit keeps that byte as it stands.
TEST_F(DesignTest, ACaptionEditKeepsBytesThatAreNotUtf8) {
    const std::string config = Replaced(kConfig, "caption=\"Hello\"", "caption=\"Caf\xE9\"");
    Start(config);
    PointAt(dialog_, 30, 30);
    MouseButton(true);
    MouseButton(false);
    Key(VK_F2);
    Key(VK_END);
    Key('2');
    Key(VK_RETURN);
    EXPECT_EQ(File(), Replaced(config, "caption=\"Caf\xE9\"",
                               "caption=\"Caf\xE9"
                               "2\""));
}

// Six nudges on a file of 4 MB: each step keeps the bytes it changed, not copies of the file,
// and no step maps every byte of it. Measured as the growth of the view's peak working set
// from its start: 88 MB before, when each step kept two copies and mapped every byte in 16.
TEST_F(DesignTest, NudgesOnALargeFileKeepTheEditsNotTheFile) {
    constexpr std::size_t kSize = 4 << 20;
    Start(Replaced(kConfig, "</config>", "<!--" + std::string(kSize, 'x') + "--></config>"));
    const auto peak = [&] {
        PROCESS_MEMORY_COUNTERS memory{};
        EXPECT_TRUE(GetProcessMemoryInfo(process_->Handle(), &memory, sizeof memory));
        return memory.PeakWorkingSetSize;
    };
    const std::size_t started = peak();
    PointAt(dialog_, 30, 30);
    MouseButton(true);
    MouseButton(false);
    // One nudge at a time, each awaited in the status line: the test reads the file only at
    // the end, so no read of its own stands in the way of the view's replacing it.
    for (int left = 21; left <= 26; ++left) {
        Key(VK_RIGHT, 0);
        const std::wstring written = L"Written: left=\"" + std::to_wstring(left) + L"\"";
        EXPECT_TRUE(WaitUntil([&] { return StatusText(process_->Id()).find(written) == 0; }, 30000))
            << left;
    }
    EXPECT_NE(File().find("left=\"26\" top=\"20\""), std::string::npos);
    const std::size_t after = peak();
    std::printf("peak working set on %zu MB: %zu MB at the start, %zu MB after 6 nudges\n",
                kSize >> 20, started >> 20, after >> 20);
    EXPECT_LT(after - started, 10 * kSize); // 4 to 16 MB here, the start measured early or late
}

TEST_F(DesignTest, SnapsWithinFourPixelsUnlessAltIsHeld) {
    Start();
    // Hello spans 20..120 across; the window's left edge is 0.
    Drag(dialog_, {30, 30}, {13, 30}); // left 3: drawn to 0
    EXPECT_EQ(ControlRect(dialog_, L"Hello").left, 0);
    EXPECT_NE(File().find("left=\"0\" top=\"20\""), std::string::npos);
    Chord({VK_CONTROL, 'Z'});
    INPUT alt{};
    alt.type = INPUT_KEYBOARD;
    alt.ki.wVk = VK_MENU;
    SendInput(1, &alt, sizeof alt);
    Drag(dialog_, {30, 30}, {13, 30});
    alt.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &alt, sizeof alt);
    Sleep(300);
    EXPECT_EQ(ControlRect(dialog_, L"Hello").left, 3);
    EXPECT_NE(File().find("left=\"3\" top=\"20\""), std::string::npos);
}

TEST_F(DesignTest, PagesAndRefusals) {
    Start();
    Key(VK_NEXT);
    EXPECT_TRUE(IsWindowVisible(FindWindowExW(dialog_, nullptr, L"Button", L"Second")));
    EXPECT_FALSE(IsWindowVisible(FindWindowExW(dialog_, nullptr, L"Button", L"Hello")));
    Key(VK_PRIOR);
    EXPECT_TRUE(IsWindowVisible(FindWindowExW(dialog_, nullptr, L"Button", L"Hello")));
    // A caption with ">" is refused: said in the status line, file unchanged.
    PointAt(dialog_, 30, 30);
    MouseButton(true);
    MouseButton(false);
    EXPECT_EQ(ScreenPixel(dialog_, 22, 22), RGB(0, 120, 215)); // the selection's corner handle
    Key(VK_F2);
    Chord({VK_SHIFT, VK_OEM_PERIOD});
    Key(VK_RETURN);
    EXPECT_EQ(File(), kConfig);
    EXPECT_NE(StatusText(process_->Id()).find(L"Not written"), std::wstring::npos);
    // A double click opens the edit box too; Escape closes it and writes nothing.
    for (const DWORD button :
         {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        mouse_event(button, 0, 0, 0, 0);
    }
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(FindWindowExW(dialog_, nullptr, L"Edit", nullptr)));
    Key('X');
    Key(VK_ESCAPE);
    EXPECT_EQ(FindWindowExW(dialog_, nullptr, L"Edit", nullptr), nullptr);
    EXPECT_EQ(File(), kConfig);
}

} // namespace
