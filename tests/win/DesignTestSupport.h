// The design view's Wine tests' shared menu, input helpers and fixture.
#pragma once

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <initializer_list>

#include "ProcessWindows.h"

inline const std::wstring kTitle = L"D\u00e9sign \u2014 Design";

// CR LF line ends, a space before "/>", inherited width and height, a two-byte character
// before the changed values: all must stay.
inline const std::string kConfig =
    "<config>\r\n"
    "  <General caption=\"D\xC3\xA9sign\" width=\"400\" height=\"300\" bgcolor=\"0 0 0\"/>\r\n"
    "  <ToolTippConfig tttype=\"cursortt\" width=\"100\" height=\"30\"/>\r\n"
    "  <ButtonConfig>\r\n"
    "    <ButtonLayout width=\"100\" height=\"30\" bgcolor=\"200 100 50\"/>\r\n"
    "  </ButtonConfig>\r\n"
    "  <BtnBeenden>\r\n"
    "    <ButtonPosition left=\"280\" top=\"250\"/>\r\n"
    "    <ButtonLayout caption=\"Quit\"/>\r\n"
    "    <Command type=\"beenden\"/>\r\n"
    "  </BtnBeenden>\r\n"
    "  <Pages>\r\n"
    "    <Page>\r\n"
    "      <Button>\r\n"
    "        <ButtonPosition   left=\"20\" top=\"20\" />\r\n"
    "        <ButtonLayout caption=\"Hello\"/>\r\n"
    "        <Command type=\"showmessage\"><ShowMessageCommandConfig caption=\"Box\" "
    "message=\"ran\"/></Command>\r\n"
    "      </Button>\r\n"
    "      <Button id=\"tick\">\r\n"
    "        <ButtonPosition left=\"20\" top=\"100\"/>\r\n"
    "        <ButtonLayout type=\"checkbox\" caption=\"Tick\" defaultval=\"true\" "
    "currentval=\"false\"/>\r\n"
    "      </Button>\r\n"
    "    </Page>\r\n"
    "    <Page>\r\n"
    "      <Button>\r\n"
    "        <ButtonPosition left=\"200\" top=\"200\"/>\r\n"
    "        <ButtonLayout caption=\"Second\"/>\r\n"
    "      </Button>\r\n"
    "    </Page>\r\n"
    "  </Pages>\r\n"
    "</config>\r\n";

// Keys pressed in order and released in reverse: a chord such as Ctrl+Z.
inline void Chord(std::initializer_list<WORD> keys) {
    std::vector<INPUT> strokes;
    for (const WORD key : keys) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = key;
        strokes.push_back(in);
    }
    for (auto key = keys.end(); key != keys.begin();) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = *--key;
        in.ki.dwFlags = KEYEVENTF_KEYUP;
        strokes.push_back(in);
    }
    SendInput(static_cast<UINT>(strokes.size()), strokes.data(), sizeof(INPUT));
    Sleep(300);
}

inline void Drag(HWND window, POINT from, POINT to) {
    PointAt(window, from.x, from.y);
    MouseButton(true);
    PointAt(window, (from.x + to.x) / 2, (from.y + to.y) / 2);
    PointAt(window, to.x, to.y);
    MouseButton(false);
}

// The text of the process's status line: its top-level static window.
inline std::wstring StatusText(DWORD pid) {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"Static", nullptr)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid) {
            wchar_t text[512] = L"";
            GetWindowTextW(w, text, 512);
            return text;
        }
    }
    return L"";
}

// A control's rectangle in its dialog's client area, found by caption.
inline RECT ControlRect(HWND dialog, const wchar_t* caption) {
    RECT r{};
    if (const HWND control = FindWindowExW(dialog, nullptr, L"Button", caption)) {
        GetWindowRect(control, &r);
        MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
    }
    return r;
}

// Takes the mouse capture from the window's thread, as another window taking it would: this
// thread joins the window's input for the moment and captures the pointer itself.
inline void TakeCapture(HWND window) {
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    const HWND own = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                     nullptr, nullptr);
    EXPECT_TRUE(AttachThreadInput(GetCurrentThreadId(), thread, TRUE));
    SetCapture(own);
    ReleaseCapture();
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    DestroyWindow(own);
    Sleep(300);
}

inline std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

class DesignTest : public MenuTest {
protected:
    void Start(const std::string& config = kConfig) {
        NewFolder("design");
        folder_->Write("menu.xml", config);
        Launch(L"menu.xml", folder_->Path(), kTitle, BuildDirectory() / "navora-design.exe");
    }
    std::string File() const { return folder_->Read("menu.xml"); }
};
