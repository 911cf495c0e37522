#include "layout/ButtonGeometry.h"

#include <algorithm>

#include "util/Saturating.h"

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
    const int L1 = SatAdd(L, 1), T1 = SatAdd(T, 1), R1 = SatSub(R, 1), R2 = SatSub(R, 2);
    const int B1 = SatSub(B, 1), B2 = SatSub(B, 2);
    if (pressed) {
        return {{{FrameLine::Light, {{{L1, B1}, {R1, B1}, {R1, T}}}},
                 {FrameLine::Dark, {{{L, B1}, {L, T}, {R, T}}}},
                 {FrameLine::Shadow, {{{L1, B2}, {L1, T1}, {R1, T1}}}}}};
    }
    return {{{FrameLine::Light, {{{L, B2}, {L, T}, {R1, T}}}},
             {FrameLine::Dark, {{{L, B1}, {R1, B1}, {R1, SatSub(T, 1)}}}},
             {FrameLine::Shadow, {{{L1, B2}, {R2, B2}, {R2, T}}}}}};
}

GridRect CheckBoxRect(int clientHeight, int checkDim) {
    if (checkDim == 0) {
        return {0, 0, clientHeight, clientHeight};
    }
    const int top = SaturateToInt((std::int64_t{clientHeight} - checkDim) / 2);
    return {0, top, checkDim, SatAdd(top, checkDim)};
}

std::array<GridPoint, 5> CheckBoxFrame(const GridRect& box) {
    const int s = SatSub(box.bottom, box.top);
    const int right = SatAdd(box.left, s);
    const int bottom = SaturateToInt(std::int64_t{box.top} + s - 1);
    return {{{box.left, box.top},
             {right, box.top},
             {right, bottom},
             {box.left, bottom},
             {box.left, box.top}}};
}

std::array<GridPoint, 3> CheckMark(const GridRect& box) {
    const std::int64_t s = std::int64_t{box.bottom} - box.top;
    const std::int64_t w = std::int64_t{box.right} - box.left;
    return {{{3, SaturateToInt(box.top + s / 2)},
             {SaturateToInt(w / 3), SaturateToInt(box.top + s - 3)},
             {SaturateToInt(w - 3), SatAdd(box.top, 3)}}};
}

GridRect CheckTextRect(const GridRect& client, int boxHeight) {
    const std::int64_t shift = std::int64_t{boxHeight} + 10 - client.left;
    return {SaturateToInt(client.left + shift), client.top, SaturateToInt(client.right + shift),
            client.bottom};
}

GridRect CheckFocusRect(const GridRect& text, int boxHeight) {
    return {SatSub(text.left, 3), SatAdd(text.top, 1),
            SaturateToInt(std::int64_t{text.right} - boxHeight - 14), SatSub(text.bottom, 1)};
}

GridRect ButtonTextRect(const GridRect& client, int iconLeft, int iconWidth, bool hasIcon,
                        int pressOffset) {
    const std::int64_t icon = hasIcon ? std::int64_t{iconWidth} + 5 : 0;
    return {SaturateToInt(std::int64_t{client.left} + iconLeft + icon),
            SatAdd(client.top, pressOffset), client.right, client.bottom};
}

GridRect RectAt(int x, int y, int width, int height) {
    return {x, y, SatAdd(x, width), SatAdd(y, height)};
}

std::wstring ExpandTooltipEscapes(std::wstring_view text) {
    // One pass suffices: a replacement never forms a new escape, so this equals replacing each
    // escape over the whole text in turn, in linear time.
    std::wstring out;
    out.reserve(text.size());
    constexpr std::wstring_view letters = L"nrbtv";
    constexpr std::wstring_view controls = L"\n\r\b\t\v";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t kind =
            text[i] == L'\\' && i + 1 < text.size() ? letters.find(text[i + 1]) : letters.npos;
        if (kind != letters.npos) {
            out += controls[kind];
            ++i;
        } else {
            out += text[i];
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

int FocusPreviousControl(const std::vector<TabStop>& controls, int page, int current,
                         std::optional<int> quitTabIndex) {
    const int first = FocusFirstControl(controls, page, kNoFocus, quitTabIndex);
    // The last stop has the highest tab index; of several, the first in creation order.
    int last = kNoFocus;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const TabStop& c = controls[i];
        if (c.page == page && c.tabIndex != -1 &&
            (last == kNoFocus || c.tabIndex > controls[static_cast<std::size_t>(last)].tabIndex)) {
            last = static_cast<int>(i);
        }
    }
    if (current == kNoFocus || current == first) {
        return last;
    }
    const int from = TabIndexOf(controls, current, quitTabIndex);
    int candidate = kNoFocus;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const TabStop& c = controls[i];
        if (c.page == page && c.tabIndex != -1 && c.tabIndex < from &&
            (candidate == kNoFocus ||
             c.tabIndex > controls[static_cast<std::size_t>(candidate)].tabIndex)) {
            candidate = static_cast<int>(i);
        }
    }
    return candidate != kNoFocus ? candidate : first;
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
