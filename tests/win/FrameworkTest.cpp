// The small framework layer: modal loop, subclassing, WM_DRAWITEM reflection
// and the error boundary, with real windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <new>
#include <string>
#include <thread>

#include "ProcessWindows.h"
#include "win/Control.h"
#include "win/Dialog.h"
#include "win/ErrorReport.h"

namespace {

constexpr UINT kEnd = WM_APP + 1;
constexpr UINT kThrowInvalid = WM_APP + 2;
constexpr UINT kThrowMemory = WM_APP + 3;

class ProbeControl : public Control {
public:
    int draws = 0;
    int clicks = 0;
    void DrawItem(const DRAWITEMSTRUCT& item) override {
        ++draws;
        FillRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_LBUTTONDOWN) {
            ++clicks;
        }
        if (message == kThrowInvalid) {
            throw std::exception();
        }
        if (message == kThrowMemory) {
            throw std::bad_alloc();
        }
        return Control::HandleMessage(message, wParam, lParam);
    }
};

class ProbeDialog : public Dialog {
public:
    ProbeDialog() : Dialog(102) {}
    int preTranslated = 0;
    bool endHandled = false;
    bool everVisible = false;
    bool endInInit = false;
    HCURSOR dragIcon = LoadCursorW(nullptr, IDC_HAND);
    ProbeControl button;

protected:
    BOOL OnInitDialog() override {
        if (endInInit) {
            EndDialog(IDOK);
            return TRUE;
        }
        button.Subclass(CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0,
                                        0, 80, 30, Handle(), nullptr, nullptr, nullptr));
        ShowWindow(Handle(), SW_SHOW);
        return TRUE;
    }
    bool PreTranslateMessage(MSG&) override {
        ++preTranslated;
        everVisible = everVisible || IsWindowVisible(Handle());
        return false;
    }
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override {
        if (message == WM_QUERYDRAGICON) {
            result = reinterpret_cast<INT_PTR>(dragIcon);
            return true;
        }
        if (message == kEnd) {
            EndDialog(42);
            endHandled = true; // the message that ends the dialog is still handled to its end
            return true;
        }
        return Dialog::HandleMessage(message, wParam, lParam, result);
    }
};

// The dialog's window once its modal loop has made it (from another thread).
HWND WindowOf(const ProbeDialog& dialog) {
    HWND w = nullptr;
    WaitUntil([&] { return (w = dialog.Handle()) != nullptr; }, 5000, 25);
    return w;
}

TEST(ModalLoop, PreTranslatesEveryMessageAndEndsAfterTheCurrentOne) {
    ProbeDialog dialog;
    std::thread driver([&] {
        const HWND w = WindowOf(dialog);
        PostMessageW(w, WM_MOUSEMOVE, 0, 0);
        PostMessageW(w, kEnd, 0, 0);
    });
    EXPECT_EQ(dialog.DoModal(), 42);
    driver.join();
    EXPECT_TRUE(dialog.endHandled);
    EXPECT_GE(dialog.preTranslated, 2);
    EXPECT_EQ(dialog.Handle(), nullptr);
}

// A value that a dialog procedure returns itself, not through DWLP_MSGRESULT, reaches the sender.
TEST(ModalLoop, TheDragIconReachesTheSender) {
    ProbeDialog dialog;
    LRESULT answer = 0;
    std::thread driver([&] {
        const HWND w = WindowOf(dialog);
        answer = SendMessageW(w, WM_QUERYDRAGICON, 0, 0);
        PostMessageW(w, kEnd, 0, 0);
    });
    EXPECT_EQ(dialog.DoModal(), 42);
    driver.join();
    EXPECT_EQ(answer, reinterpret_cast<LRESULT>(dialog.dragIcon));
}

TEST(ModalLoop, ADialogEndedDuringSetUpIsNeverShown) {
    ProbeDialog dialog;
    dialog.endInInit = true;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.preTranslated, 0);
    EXPECT_FALSE(dialog.everVisible);
}

// Reads and closes the message box that `trigger` brings up on this thread.
std::wstring BoxText(HWND owner, UINT trigger) {
    std::wstring text;
    std::thread reader([&] {
        const std::wstring title = ApplicationTitle();
        HWND box = nullptr;
        WaitUntil([&] { return (box = FindWindowW(L"#32770", title.c_str())) != nullptr; }, 10000,
                  25);
        text = ReadAndCloseBox(box).value_or(L"");
    });
    SendMessageW(owner, trigger, 0, 0);
    reader.join();
    return text;
}

TEST(Controls, OwnerDrawnControlsAreDrawnThroughTheDialogsReflection) {
    ProbeDialog dialog;
    std::thread driver([&] {
        const HWND w = WindowOf(dialog);
        Sleep(300); // time to paint
        PostMessageW(w, kEnd, 0, 0);
    });
    EXPECT_EQ(dialog.DoModal(), 42);
    driver.join();
    EXPECT_GT(dialog.button.draws, 0);
}

TEST(Controls, ErrorsInAControlAreReportedAndTheProgramGoesOn) {
    ProbeControl control;
    const HWND button = CreateWindowExW(0, L"BUTTON", L"", WS_POPUP | WS_VISIBLE, 0, 0, 80, 30,
                                        nullptr, nullptr, nullptr, nullptr);
    control.Subclass(button);
    SendMessageW(button, WM_LBUTTONDOWN, 0, 0);
    SendMessageW(button, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(control.clicks, 1);
    wchar_t* system = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, static_cast<DWORD>(E_INVALIDARG), 0,
                   reinterpret_cast<wchar_t*>(&system), 0, nullptr);
    std::wstring expected = system;
    LocalFree(system);
    expected.erase(expected.find_last_not_of(L" \r\n") + 1);
    EXPECT_EQ(BoxText(button, kThrowInvalid), expected);
    EXPECT_EQ(BoxText(button, kThrowMemory), L"Nicht gen\u00fcgend Speicher.");
    EXPECT_TRUE(IsWindow(button));
    DestroyWindow(button);
    EXPECT_EQ(control.Handle(), nullptr);
}

} // namespace
