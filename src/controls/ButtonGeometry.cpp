#include "controls/ButtonGeometry.h"

#include <algorithm>

namespace {

ColorRef PerComponent(ColorRef color, unsigned (*shade)(unsigned)) {
    ColorRef out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        out |= static_cast<ColorRef>(shade((color >> shift) & 0xFF)) << shift;
    }
    return out;
}

int TabIndexOf(const std::vector<TabStop>& controls, int focus, std::optional<int> quitTabIndex) {
    return focus == kQuitButtonFocus ? quitTabIndex.value_or(-1)
                                     : controls[static_cast<std::size_t>(focus)].tabIndex;
}

} // namespace

Shades DeriveShades(ColorRef background) {
    return {PerComponent(background, [](unsigned c) { return std::min(255u, 3 * c / 2); }),
            PerComponent(background, [](unsigned c) { return c / 2; }),
            PerComponent(background, [](unsigned c) { return c / 10; })};
}

std::array<FrameLine, 3> FrameLines(const GridRect& client, bool pressed) {
    const int L = client.left, T = client.top, R = client.right, B = client.bottom;
    if (pressed) {
        return {{{FrameLine::Light, {{{L + 1, B - 1}, {R - 1, B - 1}, {R - 1, T}}}},
                 {FrameLine::Dark, {{{L, B - 1}, {L, T}, {R, T}}}},
                 {FrameLine::Shadow, {{{L + 1, B - 2}, {L + 1, T + 1}, {R - 1, T + 1}}}}}};
    }
    return {{{FrameLine::Light, {{{L, B - 2}, {L, T}, {R - 1, T}}}},
             {FrameLine::Dark, {{{L, B - 1}, {R - 1, B - 1}, {R - 1, T - 1}}}},
             {FrameLine::Shadow, {{{L + 1, B - 2}, {R - 2, B - 2}, {R - 2, T}}}}}};
}

GridRect CheckBoxRect(int clientHeight, int checkDim) {
    if (checkDim == 0) {
        return {0, 0, clientHeight, clientHeight};
    }
    const int top = (clientHeight - checkDim) / 2;
    return {0, top, checkDim, top + checkDim};
}

std::array<GridPoint, 5> CheckBoxFrame(const GridRect& box) {
    const int s = box.bottom - box.top;
    return {{{box.left, box.top},
             {box.left + s, box.top},
             {box.left + s, box.top + s - 1},
             {box.left, box.top + s - 1},
             {box.left, box.top}}};
}

std::array<GridPoint, 3> CheckMark(const GridRect& box) {
    const int s = box.bottom - box.top;
    const int w = box.right - box.left;
    return {{{3, box.top + s / 2}, {w / 3, box.top + s - 3}, {w - 3, box.top + 3}}};
}

GridRect CheckTextRect(const GridRect& client, int boxHeight) {
    const int shift = boxHeight + 10 - client.left;
    return {client.left + shift, client.top, client.right + shift, client.bottom};
}

GridRect CheckFocusRect(const GridRect& text, int boxHeight) {
    return {text.left - 3, text.top + 1, text.right - boxHeight - 14, text.bottom - 1};
}

GridRect ButtonTextRect(const GridRect& client, int iconLeft, int iconWidth, bool hasIcon,
                        int pressOffset) {
    return {client.left + iconLeft + (hasIcon ? iconWidth + 5 : 0), client.top + pressOffset,
            client.right, client.bottom};
}

std::wstring ExpandTooltipEscapes(std::wstring_view text) {
    std::wstring out(text);
    for (const auto& [letter, control] :
         {std::pair{L'n', L'\n'}, std::pair{L'r', L'\r'}, std::pair{L'b', L'\b'},
          std::pair{L't', L'\t'}, std::pair{L'v', L'\v'}}) {
        const wchar_t escape[] = {L'\\', letter, L'\0'};
        for (std::size_t at = out.find(escape); at != std::wstring::npos;
             at = out.find(escape, at + 1)) {
            out.replace(at, 2, 1, control);
        }
    }
    return out;
}

int FocusFirstControl(const std::vector<TabStop>& controls, int page, int current,
                      std::optional<int> quitTabIndex) {
    int focus = current;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].page != page || controls[i].tabIndex == -1) {
            continue;
        }
        if (focus == kNoFocus || controls[i].tabIndex < TabIndexOf(controls, focus, quitTabIndex)) {
            focus = static_cast<int>(i);
        }
    }
    if (focus != kNoFocus && quitTabIndex && *quitTabIndex != -1 &&
        *quitTabIndex < TabIndexOf(controls, focus, quitTabIndex)) {
        focus = kQuitButtonFocus;
    }
    return focus;
}

int FocusNextControl(const std::vector<TabStop>& controls, int page, int current,
                     std::optional<int> quitTabIndex) {
    if (current == kNoFocus) {
        return FocusFirstControl(controls, page, current, quitTabIndex);
    }
    const int from = TabIndexOf(controls, current, quitTabIndex);
    int candidate = kNoFocus;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const TabStop& c = controls[i];
        if (c.page == page && c.tabIndex != -1 && c.tabIndex > from &&
            (candidate == kNoFocus ||
             c.tabIndex < controls[static_cast<std::size_t>(candidate)].tabIndex)) {
            candidate = static_cast<int>(i);
        }
    }
    return candidate != kNoFocus ? candidate
                                 : FocusFirstControl(controls, page, current, quitTabIndex);
}
