#include "controls/MenuButton.h"

void MenuButton::SetBackgroundColor(COLORREF color) {
    TButton::SetBackgroundColor(color);
    shades_ = DeriveShades(color);
}

void MenuButton::DrawItem(const DRAWITEMSTRUCT& item) {
    const HDC dc = item.hDC;
    if (m_bFocus) {
        RECT focus = m_rcClient;
        if (m_b3D) {
            InflateRect(&focus, -3, -3);
        }
        DrawFocusRect(dc, &focus);
    }
    PrepareColors(dc);
    m_nIconTop = (m_rcClient.bottom - m_rcClient.top - m_nIconHeight) / 2;
    if (!m_b3D || m_bTransparent) {
        m_nPressOffset = 0; // without a frame the content stays put when pressed
    } else {
        const UniquePen pens[] = {UniquePen(CreatePen(PS_SOLID, 1, shades_.light)),
                                  UniquePen(CreatePen(PS_SOLID, 1, shades_.shadow)),
                                  UniquePen(CreatePen(PS_SOLID, 1, shades_.dark))};
        for (const FrameLine& line : FrameLines(ToGrid(m_rcClient), m_bPressed)) {
            const SelectGuard pen(dc, pens[line.pen].get());
            DrawPolyline(dc, line.points.data(), 3);
        }
        if (m_bPressed) {
            ++m_nIconTop;
        }
    }
    DrawIcon(dc);
    DrawBackgroundBitmap(dc);
    const GridRect text = ButtonTextRect(ToGrid(m_rcClient), m_nIconLeft, m_nIconWidth,
                                         m_pIcon != nullptr, m_nPressOffset);
    DrawCaption(dc, {text.left, text.top, text.right, text.bottom});
    RedrawTooltip();
}
