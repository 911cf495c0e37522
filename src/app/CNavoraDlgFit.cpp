// The dialog's part in fitting the menu to the PC and the person: conditions on controls and
// the check boxes' states for programs.
#include "app/CNavoraDlg.h"
#include "config/Win32RememberedChoices.h"
#include "controls/MenuCheckBox.h"

std::optional<bool> CNavoraDlg::CheckState(const std::wstring& id) {
    CreateLaterPages(); // a box of a later page may not be built yet
    for (const auto& control : m_aButtons) {
        if (control->GetKind() == ControlKind::CheckBox) {
            const auto* box = static_cast<const MenuCheckBox*>(control.get());
            if (box->GetCheckId() == id) {
                return box->IsChecked();
            }
        }
    }
    if (m_pBtnBeenden && m_pBtnBeenden->GetKind() == ControlKind::CheckBox) {
        const auto* box = static_cast<const MenuCheckBox*>(m_pBtnBeenden.get());
        if (box->GetCheckId() == id) {
            return box->IsChecked();
        }
    }
    return std::nullopt;
}

void CNavoraDlg::ApplyFitSettings(TButton& control, const ControlSettings& settings) {
    control.SetConditions(BuildCondition(*m_pActionBuilder, settings.showIf),
                          BuildCondition(*m_pActionBuilder, settings.enableIf));
    if (settings.disabledTextColor) {
        control.SetDisabledTextColor(*settings.disabledTextColor);
    }
    if (settings.rememberUser && !menuId_.empty() && settings.kind == ControlKind::CheckBox) {
        static_cast<MenuCheckBox&>(control).SetRememberUnder(menuId_);
    }
}

bool CNavoraDlg::RememberedOrDefault(const ControlSettings& box) const {
    if (box.rememberUser && !menuId_.empty()) {
        if (const std::optional<bool> stored = ReadRememberedChoice(menuId_, box.id)) {
            return *stored;
        }
    }
    return box.defaultVal;
}

std::optional<SystemColours> CNavoraDlg::HighContrastColours() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    if (!SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) ||
        !(contrast.dwFlags & HCF_HIGHCONTRASTON)) {
        return std::nullopt;
    }
    return SystemColours{GetSysColor(COLOR_WINDOW),        GetSysColor(COLOR_BTNFACE),
                         GetSysColor(COLOR_BTNTEXT),       GetSysColor(COLOR_HIGHLIGHT),
                         GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_INFOBK),
                         GetSysColor(COLOR_INFOTEXT),      GetSysColor(COLOR_GRAYTEXT)};
}
