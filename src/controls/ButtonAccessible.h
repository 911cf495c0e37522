// What a screen reader learns of a control through Active Accessibility. The system's own
// object for the window answers the rest; it sees a plain owner-drawn button, so the name,
// role, state and default action come from the control.
#pragma once

#include <windows.h>

// Posted to a control's window, it acts as a click.
inline constexpr UINT kDefaultAction = WM_APP + 1;

// Answers WM_GETOBJECT for the window of a TButton; 0 when it does not, and the system
// then answers with its own object.
LRESULT AnswerGetObject(HWND control, WPARAM flags, LPARAM objectId);
