#include "config/HighContrast.h"

void UseSystemColours(WindowSettings& window, const SystemColours& colours) {
    window.bgColor = colours.window;
}

void UseSystemColours(TooltipSettings& tip, const SystemColours& colours) {
    tip.bgColor = colours.infoBackground;
    tip.textColor = colours.infoText;
}

void UseSystemColours(ControlSettings& control, const SystemColours& colours) {
    control.bgColor = colours.buttonFace;
    control.textColor = colours.buttonText;
    control.transparent = false;
    control.hoverBgColor = colours.highlight;
    control.hoverTextColor = colours.highlightText;
    control.hoverTransparent = false;
    control.disabledTextColor = colours.grayText;
}
