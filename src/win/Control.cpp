#include "win/Control.h"

#include "win/ErrorReport.h"

// Subclassing replaces the window procedure and keeps the object in GWLP_USERDATA, which the
// system's control classes leave to the application; the common controls' own subclassing
// looks its data up as a window property on every message.

Control::~Control() {
    if (hwnd_ != nullptr) {
        Unsubclass();
    }
}

void Control::Subclass(HWND hwnd) {
    hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    classProcedure_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure)));
}

void Control::Unsubclass() {
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(classProcedure_));
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
}

Control* Control::FromHandle(HWND hwnd) {
    if (GetWindowLongPtrW(hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(Procedure)) {
        return nullptr;
    }
    return reinterpret_cast<Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

LRESULT Control::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT Control::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcW(classProcedure_, hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Control::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        const WNDPROC classProcedure = self->classProcedure_;
        self->Unsubclass();
        return CallWindowProcW(classProcedure, hwnd, message, wParam, lParam);
    }
    return GuardMessage(
        GetAncestor(hwnd, GA_ROOT), [&] { return self->HandleMessage(message, wParam, lParam); },
        LRESULT{0});
}
