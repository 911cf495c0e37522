#include "win/Control.h"

#include <commctrl.h>

#include "win/ErrorReport.h"

namespace {

constexpr UINT_PTR kSubclassId = 1;
constexpr const wchar_t* kObjectProperty = L"NavoraControl";

} // namespace

Control::~Control() {
    if (hwnd_ != nullptr) {
        RemoveWindowSubclass(hwnd_, Procedure, kSubclassId);
        RemovePropW(hwnd_, kObjectProperty);
    }
}

void Control::Subclass(HWND hwnd) {
    hwnd_ = hwnd;
    SetPropW(hwnd, kObjectProperty, this);
    SetWindowSubclass(hwnd, Procedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

Control* Control::FromHandle(HWND hwnd) {
    return static_cast<Control*>(GetPropW(hwnd, kObjectProperty));
}

LRESULT Control::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
}

LRESULT Control::Default(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Control::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data) {
    auto* self = reinterpret_cast<Control*>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, Procedure, kSubclassId);
        RemovePropW(hwnd, kObjectProperty);
        self->hwnd_ = nullptr;
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    return GuardMessage(
        GetAncestor(hwnd, GA_ROOT), [&] { return self->HandleMessage(message, wParam, lParam); },
        LRESULT{0});
}
