// The system draws message boxes and the shell's dialogs for the menu with common controls 6.
// The menu's own controls are all owner-drawn and never need it; in the process manifest it
// would be loaded with the first button, before the first paint.
#pragma once

#include <windows.h>

// This resource holds the manifest that asks for common controls 6.
inline constexpr int kVisualStylesManifest = 140;

// Keeps common controls 6 active on this thread for the object's lifetime; without it (a
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

// Shows MessageBoxW drawn with common controls 6.
int StyledMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);
