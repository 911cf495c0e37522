// Where Windows' high-contrast mode is on, the menu draws with the system's colours instead of
// the file's, so that its text keeps the contrast the user chose.
#pragma once

#include "config/MenuSettings.h"

// The system colours the menu draws with in high contrast.
struct SystemColours {
    ColorRef window = 0;         // the window's background
    ColorRef buttonFace = 0;     // a control's face
    ColorRef buttonText = 0;     // its caption
    ColorRef highlight = 0;      // a control's face under the mouse or the highlight
    ColorRef highlightText = 0;  // its caption then
    ColorRef infoBackground = 0; // the tooltip's background
    ColorRef infoText = 0;       // the tooltip's text
    ColorRef grayText = 0;       // a disabled control's caption
};

void UseSystemColours(WindowSettings& window, const SystemColours& colours);
void UseSystemColours(TooltipSettings& tip, const SystemColours& colours);
// Controls are drawn opaque, so that no picture lies behind their text.
void UseSystemColours(ControlSettings& control, const SystemColours& colours);
