// The design view's small helpers between the controls' windows and the edit model.
#pragma once

#include <windows.h>

#include <string>

#include "controls/TButton.h"
#include "design/EditModel.h"

inline constexpr COLORREF kFrameColor = RGB(0, 120, 215);
inline constexpr UINT_PTR kWatchTimer = 2;  // the menu's own timers: 1 and the tooltips' from 9000
inline constexpr UINT kWatchInterval = 300; // polling where the folder gives no change notices
inline constexpr UINT kFileChanged = WM_APP + 1;

inline std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The control's window in the dialog's client area. Not its rectangle in the parent, which for
// a check box reaches beyond the window by its box's size.
inline RECT RectOf(const TButton* control) {
    RECT r;
    GetWindowRect(control->Handle(), &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control->Handle()), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

inline DesignRect ToDesign(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

inline RECT ToRect(const DesignRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}
