// Tooltips: the tooltip's type and box, and tooltip texts the menu shows otherwise than
// written.
#include "tools/checks/Checks.h"

namespace checks {

void CheckTooltipType(CheckContext& c, const xmlElement* tipConfig) {
    if (ReadTooltipSettings(tipConfig).kind != TooltipKind::Unknown ||
        (tipConfig != nullptr && !tipConfig->GetAttribute(L"tttype").empty())) {
        return; // an unknown type is reported at its value
    }
    c.Error(tipConfig != nullptr ? tipConfig->GetOffset() : c.tree.Root().GetOffset(), "keyword",
            std::string(tipConfig == nullptr ? "there is no <ToolTippConfig>"
                                             : "<ToolTippConfig> has no tttype") +
                ": the menu stops with \"" + Shown(c.messages.noTooltipType) +
                "\"; write tttype=\"statictt\", \"buttontt\" or \"cursortt\"");
}

// "\t", "\b", "\r" and "\v" become control characters in a tooltip; in a path they
// are letters after a backslash.
void CheckTooltipEscapes(CheckContext& c, std::wstring_view value, std::size_t at) {
    if (value.find(L":\\") == npos && value.find(L"%\\") == npos && value.rfind(L"\\\\", 0) != 0) {
        return;
    }
    for (std::size_t i = 0; i + 2 < value.size(); ++i) {
        if (value[i] != L'\\' || std::wstring_view(L"tbrv").find(value[i + 1]) == npos ||
            !IsAsciiLetter(value[i + 2])) {
            continue;
        }
        const std::size_t end = std::min(value.find_first_of(L" \\", i + 1), value.size());
        std::wstring fixed(value.substr(i, end - i));
        fixed[1] = static_cast<wchar_t>(fixed[1] - L'a' + L'A');
        c.Warning(at, "tooltip",
                  "in a tooltip, '\\" + Shown(value.substr(i + 1, 1)) + "' of " +
                      Quoted(value.substr(i, end - i)) +
                      " becomes a control character (as '\\t', '\\b', '\\r' and '\\v' do), "
                      "so the path is shown broken; write the letter in upper case, " +
                      Quoted(fixed) + ", which the menu leaves as written");
        return;
    }
}

// A tooltip that can never be seen, or one placed outside the window; only where some
// control has a tooltip text, as without one the tooltip's size does not matter.
void CheckTooltipBox(CheckContext& c, const xmlElement* tipConfig, std::int64_t width,
                     std::int64_t height) {
    const TooltipSettings tip = ReadTooltipSettings(tipConfig);
    if (!c.anyTooltip || tip.kind == TooltipKind::Unknown) {
        return;
    }
    const std::size_t at = tipConfig->GetOffset();
    if (tip.width <= 0 || (tip.height <= 0 && tip.kind != TooltipKind::Button)) {
        c.Error(at, "tooltip",
                "the tooltip is " + std::to_string(tip.width) + " x " + std::to_string(tip.height) +
                    " pixels, so no tooltip text is ever seen; give <ToolTippConfig> a width "
                    "and a height, e.g. width=\"200\" height=\"40\"");
        return;
    }
    if (tip.kind == TooltipKind::Button && tip.speed <= 0) {
        const xmlElement* strip = FindChild(tipConfig, L"ButtonTTConfig");
        c.Error(strip != nullptr ? strip->GetOffset() : at, "tooltip",
                "Speed is " + std::to_string(tip.speed) +
                    ": the button tooltip's strip never grows, so no tooltip text is ever "
                    "seen; write Speed=\"10\" (pixels per step) in <ButtonTTConfig>");
    }
    if (tip.kind != TooltipKind::Static || (width == 0 && height == 0)) {
        return;
    }
    const std::int64_t left = tip.leftMargin;
    const std::int64_t top = tip.topMargin;
    const std::int64_t right = left + tip.width;
    const std::int64_t bottom = top + tip.height;
    const xmlElement* place = FindChild(tipConfig, L"StaticTTConfig");
    const std::string box = "the static tooltip (" + std::to_string(left) + ", " +
                            std::to_string(top) + ", " + std::to_string(tip.width) + " x " +
                            std::to_string(tip.height) + ")";
    const std::string window = " the window's inside (" + std::to_string(width) + " x " +
                               std::to_string(height) + " pixels)";
    if (right <= 0 || bottom <= 0 || left >= width || top >= height) {
        c.Error(place != nullptr ? place->GetOffset() : at, "tooltip",
                box + " lies wholly outside" + window +
                    ": it is never seen; set LeftMargin and TopMargin inside it");
    } else if (left < 0 || top < 0 || right > width || bottom > height) {
        c.Warning(place != nullptr ? place->GetOffset() : at, "tooltip",
                  box + " reaches beyond" + window +
                      ": it is cut off; move it in with LeftMargin and TopMargin");
    }
}

// The tooltip draws its text inside this margin on every side.
constexpr std::int64_t kTipMargin = 8;

void CheckTooltipLines(CheckContext& c, const xmlElement& element, const ControlSettings& control,
                       const std::string& who) {
    const TooltipSettings& tip = c.tooltip;
    // Without a font size the system font's height is not known here.
    if (c.tallTooltip || control.tooltip.empty() || tip.font.height <= 0 || tip.width <= 0) {
        return;
    }
    const std::int64_t box =
        tip.height > 0 ? tip.height : (tip.kind == TooltipKind::Button ? control.height : 0);
    std::int64_t lines = 1;
    for (std::size_t i = control.tooltip.find(L"\\n"); i != npos;
         i = control.tooltip.find(L"\\n", i + 2)) {
        ++lines;
    }
    const std::int64_t needed = 2 * kTipMargin + lines * tip.font.height;
    if (box <= 0 || needed <= box) {
        return;
    }
    c.tallTooltip = true;
    const xmlElement* layout = FindChild(&element, L"ButtonLayout");
    const std::size_t index = FindAttributeIndex(*layout, L"tooltipp");
    const xmlAttributePlace& place = layout->GetAttributePlace(index);
    c.Warning(place.openQuote != npos ? place.openQuote : place.name, "tooltip",
              "the tooltip of " + who + " has " + std::to_string(lines) + " line" +
                  (lines == 1 ? "" : "s") + " of " + std::to_string(tip.font.height) +
                  "-pixel text, which need " + std::to_string(needed) +
                  " pixels with the margins, but the tooltip box is " + std::to_string(box) +
                  " high: the text is cut off; give <ToolTippConfig> height=\"" +
                  std::to_string(needed) + "\" or a smaller fontsize");
}

} // namespace checks
