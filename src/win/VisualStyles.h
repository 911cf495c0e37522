// Common controls 6 for what the system draws for the menu: message boxes and the
// shell's dialogs. The menu's own controls are all owner-drawn and never need it; in the
// process manifest it would be loaded with the first button, before the first paint.
#pragma once

#include <windows.h>

// The resource holding the manifest that asks for common controls 6.
inline constexpr int kVisualStylesManifest = 140;

// Common controls 6 active on this thread for the object's lifetime; without it (a
// system before XP, no resource) the system draws as it does by default.
class VisualStyles {
public:
    VisualStyles();
    ~VisualStyles();
    VisualStyles(const VisualStyles&) = delete;
    VisualStyles& operator=(const VisualStyles&) = delete;

private:
    ULONG_PTR cookie_ = 0;
    bool active_ = false;
};

// MessageBoxW drawn with common controls 6.
int StyledMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);
