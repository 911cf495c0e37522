#include "controls/TButton.h"

#include <windowsx.h>

#include "controls/ButtonAccessible.h"
#include "win/VisualStyles.h"
#include "xml/TextDecoding.h"

namespace {

constexpr int kHandCursor = 132;

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP bm{};
    GetObjectW(bitmap, sizeof bm, &bm);
    return {bm.bmWidth, bm.bmHeight};
}

// The system shares loaded cursors, so each is looked up once, not once per control.
// Controls are made on the window's thread only.
HCURSOR handCursor = nullptr;
HCURSOR arrowCursor = nullptr;

HCURSOR HandCursor() {
    if (handCursor == nullptr) {
        handCursor = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kHandCursor));
    }
    return handCursor;
}

HCURSOR ArrowCursor() {
    if (arrowCursor == nullptr) {
        arrowCursor = LoadCursorW(nullptr, IDC_ARROW);
    }
    return arrowCursor;
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
    const UniqueBrush brush(CreateSolidBrush(color));
    FillRect(dc, &rect, brush.get());
}

} // namespace

TButton::TButton(int page)
    : m_hHoverCursor(HandCursor()), m_hNormalCursor(ArrowCursor()), m_nPage(page) {}

bool TButton::Create(const std::wstring& caption, HWND parent, int id, ButtonHost* host) {
    host_ = host;
    blankCaption_ = ShowsNothing(caption);
    const HWND hwnd = CreateWindowExW(
        0, L"BUTTON", caption.c_str(), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 0, 0, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) {
        return false;
    }
    Subclass(hwnd);
    return true;
}

void TButton::SetBounds(int x, int y, int width, int height, bool repaint) {
    MoveWindow(Handle(), x, y, width, height, repaint);
    GetClientRect(Handle(), &m_rcClient);
    const GridRect r = RectAt(x, y, m_rcClient.right, m_rcClient.bottom);
    m_rcInParent = {r.left, r.top, r.right, r.bottom};
}

void TButton::SetIcon(HBITMAP icon, bool blended) {
    m_pIcon = icon;
    m_bIconBlended = blended;
    if (icon == nullptr) {
        return;
    }
    const SIZE size = BitmapSize(icon);
    m_nIconWidth = size.cx;
    m_nIconHeight = size.cy;
    m_nIconTop = (m_rcClient.bottom - m_rcClient.top - m_nIconHeight) / 2;
}

void TButton::SetBackgroundBitmap(HBITMAP bitmap, bool blended) {
    m_pBackgroundBitmap = bitmap;
    backgroundBlended_ = blended;
    if (bitmap != nullptr) {
        const SIZE size = BitmapSize(bitmap);
        m_nBmpWidth = size.cx;
        m_nBmpHeight = size.cy;
    }
}

bool TButton::AttachTooltip(TipDisplay* tooltip) {
    m_pToolTipp = tooltip;
    return tooltip == nullptr || tooltip->AddButton(this);
}

void TButton::ApplyConditions() {
    hidden_ = !ConditionHolds(*m_pActionStore, showIf_);
    const bool disabled = !ConditionHolds(*m_pActionStore, enableIf_);
    if (disabled != disabled_) {
        disabled_ = disabled;
        InvalidateRect(Handle(), nullptr, TRUE);
    }
}

void TButton::ShowForPage(int page) {
    if (page == m_nPage && !hidden_) {
        ShowWindow(Handle(), SW_SHOW);
    } else {
        ShowWindow(Handle(), SW_HIDE);
        ResetLook();
    }
}

UniqueBitmap TButton::MakeIconMask(HBITMAP icon, COLORREF transparent) {
    const SIZE size = BitmapSize(icon);
    UniqueBitmap mask(CreateBitmap(size.cx, size.cy, 1, 1, nullptr));
    const UniqueMemoryDc iconDc(CreateCompatibleDC(nullptr));
    const UniqueMemoryDc maskDc(CreateCompatibleDC(nullptr));
    const SelectGuard iconSelected(iconDc.get(), icon);
    const SelectGuard maskSelected(maskDc.get(), mask.get());
    SetBkColor(iconDc.get(), transparent);
    BitBlt(maskDc.get(), 0, 0, size.cx, size.cy, iconDc.get(), 0, 0, SRCCOPY);
    BitBlt(iconDc.get(), 0, 0, size.cx, size.cy, maskDc.get(), 0, 0, SRCINVERT);
    return mask;
}

void TButton::EnterHover() {
    const int id = GetControlId();
    // Even a control without mouse-over effects shows its tooltip.
    if (m_pToolTipp != nullptr && m_pToolTipp->GetCurrentId() != id) {
        m_pToolTipp->SetTip(id, m_strTooltip);
    }
    // A disabled control shows its tooltip, to say why, but no mouse-over look.
    if (m_bHover || m_bNoHover || disabled_) {
        return;
    }
    m_bHover = true;
    SetClassLongPtrW(Handle(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(m_hHoverCursor));
    if (m_pHoverFont != nullptr) {
        SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(m_pHoverFont), TRUE);
        if (m_bTransparent) {
            InvalidateParentArea();
        }
    }
}

void TButton::ExecuteChain() {
    if (disabled_ || (m_pActionStore != nullptr && m_pActionStore->Running())) {
        return; // a disabled control runs nothing, and no chain starts inside another
    }
    ShowPressed();
    const bool unknownStart = m_nChainIndex < kChainEnd;
    if (unknownStart || (m_nChainIndex >= 0 && m_pActionStore != nullptr &&
                         !m_pActionStore->RunChain(m_nChainIndex))) {
        // Also after a chain that ran and then failed: the user learns that not all was done.
        const MenuMessages& texts = messages_ != nullptr ? *messages_ : ClassicMessages();
        const std::wstring text =
            texts.ChainWarningFor(unknownStart ? unknownStart_ : m_pActionStore->FailedStep());
        // Owned by the menu window like every box of a chain: a box owned by a child window may
        // leave its top-level window enabled.
        StyledMessageBox(Parent(), text.c_str(), texts.chainWarningCaption.c_str(), MB_OK);
    }
    ResetLook();
}

void TButton::ShowPressed() {
    if (disabled_ || (m_bPressed && m_nPressOffset != 0)) {
        return;
    }
    m_bPressed = true;
    m_nPressOffset = 1;
    InvalidateRect(Handle(), nullptr, TRUE);
}

void TButton::ResetLook() {
    if (m_bHover && !m_bNoHover) {
        SetClassLongPtrW(Handle(), GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(m_hNormalCursor));
        m_bHover = false;
        SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(m_pFont), TRUE);
        if (m_bTransparent) {
            InvalidateParentArea();
        }
        if (m_pToolTipp != nullptr && m_pToolTipp->GetCurrentId() == GetControlId()) {
            m_pToolTipp->SetTip(kNoTipId, L"");
        }
    }
    if (m_bPressed || m_nPressOffset != 0) {
        m_bPressed = false;
        m_nPressOffset = 0;
        InvalidateRect(Handle(), nullptr, TRUE);
    }
}

void TButton::InvalidateParentArea() const {
    const GridRect r = RectAt(m_nLeft, m_nTop, m_rcClient.right, m_rcClient.bottom);
    const RECT area{r.left, r.top, r.right, r.bottom};
    InvalidateRect(Parent(), &area, TRUE);
}

LRESULT TButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_LBUTTONDOWN:
        // The standard processing does not see the press.
        ShowPressed();
        return 0;
    case WM_LBUTTONUP: {
        const LRESULT result = Default(message, wParam, lParam);
        ExecuteChain();
        return result;
    }
    case WM_NCPAINT:
        // Made without border or scroll bars, a control has no frame to draw: the standard
        // processing would only fetch and free a device context for each paint.
        return 0;
    case WM_ERASEBKGND: {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        // Hovered without a mouse-over background (transparent, or 0 for none) the control
        // keeps the face it had: that face is painted rather than the area left, so that a
        // repaint and the proof pictures show what stays on screen.
        if (m_bHover && !m_bHoverTransparent && m_crHoverBackground != 0) {
            FillSolid(dc, m_rcClient, m_crHoverBackground);
        } else if (!m_bTransparent) {
            FillSolid(dc, m_rcClient, m_crBackground);
        }
        return TRUE;
    }
    case kDefaultAction:
        ExecuteChain();
        return 0;
    case WM_GETOBJECT:
        if (const LRESULT answer = AnswerGetObject(Handle(), wParam, lParam)) {
            return answer;
        }
        return Default(message, wParam, lParam);
    case WM_MOUSEMOVE: {
        const int x = GET_X_LPARAM(lParam);
        const int y = GET_Y_LPARAM(lParam);
        if (x == m_nLastMouseX && y == m_nLastMouseY) {
            return 0;
        }
        m_nLastMouseX = x;
        m_nLastMouseY = y;
        if (host_ != nullptr) {
            host_->ResetOtherControls(this);
        }
        if (wParam == MK_LBUTTON) {
            ShowPressed();
        }
        EnterHover();
        return 0;
    }
    default:
        return Control::HandleMessage(message, wParam, lParam);
    }
}

void TButton::PrepareColors(HDC dc) const {
    if (m_bTransparent) {
        SetBkMode(dc, TRANSPARENT);
    } else {
        SetBkColor(dc, m_crBackground);
    }
    SetTextColor(dc, disabled_  ? disabledText_.value_or(GetSysColor(COLOR_GRAYTEXT))
                     : m_bHover ? m_crHoverText
                                : m_crText);
}

void TButton::DrawIcon(HDC dc) const {
    if (m_pIcon == nullptr) {
        return;
    }
    const int y = m_nIconTop + m_nPressOffset;
    // An icon with transparency of its own is blended; the mask and OR copy are for all others.
    if (m_pIconMask != nullptr && !m_bIconBlended) {
        DrawPicture(dc, m_pIconMask, m_nIconLeft, y, m_nIconWidth, m_nIconHeight, false, SRCAND);
    }
    DrawPicture(dc, m_pIcon, m_nIconLeft, y, m_nIconWidth, m_nIconHeight, m_bIconBlended, SRCPAINT);
}

void TButton::DrawBackgroundBitmap(HDC dc) const {
    if (m_pBackgroundBitmap != nullptr) {
        DrawPicture(dc, m_pBackgroundBitmap, m_rcClient.left, m_rcClient.top + m_nPressOffset,
                    m_nBmpWidth, m_nBmpHeight, backgroundBlended_, SRCCOPY);
    }
}

void TButton::DrawCaption(HDC dc, RECT rect) const {
    const int length = GetWindowTextLengthW(Handle());
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(Handle(), text.data(), length + 1);
    DrawTextW(dc, text.c_str(), length, &rect, DT_SINGLELINE | DT_VCENTER);
}

void TButton::RedrawTooltip() const {
    if (m_pToolTipp != nullptr) {
        m_pToolTipp->Redraw();
    }
}

void TButton::DrawItem(const DRAWITEMSTRUCT& item) {
    const HDC dc = item.hDC;
    PrepareColors(dc);
    m_nIconTop = (m_rcClient.bottom - m_rcClient.top - m_nIconHeight) / 2;
    DrawIcon(dc);
    DrawBackgroundBitmap(dc);
    const GridRect text =
        ButtonTextRect({m_rcClient.left, m_rcClient.top, m_rcClient.right, m_rcClient.bottom},
                       m_nIconLeft, m_nIconWidth, m_pIcon != nullptr, m_nPressOffset);
    if (m_bFocus) {
        RECT focus = m_rcClient;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
    DrawCaption(dc, {text.left, text.top, text.right, text.bottom});
    RedrawTooltip();
}

void TButton::DrawPolyline(HDC dc, const GridPoint* points, int count) {
    MoveToEx(dc, points[0].x, points[0].y, nullptr);
    for (int i = 1; i < count; ++i) {
        LineTo(dc, points[i].x, points[i].y);
    }
}
