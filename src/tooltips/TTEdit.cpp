#include "tooltips/TTEdit.h"

namespace {

constexpr const wchar_t* kClassName = L"NavoraTipText";
constexpr int kMargin = 8;

} // namespace

TTEdit::TTEdit(HWND parent, DWORD style, DWORD exStyle, const RECT& rect) {
    RegisterClassOnce(kClassName, IDC_ARROW);
    Create(kClassName, style, exStyle, rect, parent, kTipWindowId);
}

void TTEdit::SetEditText(const std::wstring& text) {
    m_strText = text;
    SetWindowTextW(Handle(), text.c_str());
}

void TTEdit::SetBackground(COLORREF color) {
    m_crBackground = color;
    m_brBackground.reset(CreateSolidBrush(color));
}

void TTEdit::PaintContent(HDC dc) const {
    RECT r;
    GetClientRect(Handle(), &r);
    FillSolidRect(dc, r, m_crBackground);
    const SelectGuard font(dc, m_pFont);
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, m_crBackground);
    ::SetTextColor(dc, m_crText);
    InflateRect(&r, -kMargin, -kMargin);
    if (r.right > r.left && r.bottom > r.top) {
        DrawTextW(dc, m_strText.c_str(), static_cast<int>(m_strText.size()), &r, DT_WORDBREAK);
    }
}

LRESULT TTEdit::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        RECT r;
        GetClientRect(Handle(), &r);
        FillSolidRect(reinterpret_cast<HDC>(wParam), r, m_crBackground);
        return TRUE;
    }
    case WM_PAINT: {
        const PaintDc dc(Handle());
        PaintContent(dc.get());
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintContent(reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        return Window::HandleMessage(message, wParam, lParam);
    }
}
