#include "tooltips/StaticToolTipp.h"

#include "layout/TipGeometry.h"

namespace {

std::unique_ptr<TTEdit> CreateTipWindow(HWND dialog, DWORD style, const RECT& area, HFONT font) {
    auto window = std::make_unique<TTEdit>(dialog, style, 0, area);
    MoveWindow(window->Handle(), area.left, area.top, area.right, area.bottom, TRUE);
    ShowWindow(window->Handle(), SW_HIDE);
    window->SetFont(font);
    return window;
}

} // namespace

StaticToolTipp::StaticToolTipp(HWND dialogWindow, int left, int top, int width, int height,
                               HFONT tipFont)
    : TToolTipp(dialogWindow, left, top, width, height), font_(tipFont),
      window_(CreateTipWindow(dialogWindow, WS_CHILD | WS_VISIBLE, area_, tipFont)) {}

void StaticToolTipp::SetTip(int id, const std::wstring& tipText) {
    TToolTipp::SetTip(id, tipText);
    window_->SetEditText(tipText);
    // The window stays where it was made: every button's tip appears in the same place.
    ShowWindow(window_->Handle(), tipText.empty() ? SW_HIDE : SW_SHOW);
    InvalidateRect(window_->Handle(), nullptr, TRUE);
}

void StaticToolTipp::SetTipTextColor(COLORREF color) {
    TToolTipp::SetTipTextColor(color);
    window_->SetTextColor(color);
}

void StaticToolTipp::SetTipBkColor(COLORREF color) {
    TToolTipp::SetTipBkColor(color);
    window_->SetBackground(color);
}

CursorToolTipp::CursorToolTipp(HWND dialogWindow, int left, int top, int width, int height,
                               HFONT tipFont)
    : StaticToolTipp(dialogWindow, left, top, width, height, tipFont) {
    // The box must not take the clicks meant for the button beneath it.
    EnableWindow(window_->Handle(), FALSE);
}

void CursorToolTipp::SetTip(int id, const std::wstring& tipText) {
    TToolTipp::SetTip(id, tipText);
    window_->SetEditText(tipText);
    if (tipText.empty()) {
        ShowWindow(window_->Handle(), SW_HIDE);
        return;
    }
    const POINT cursor = CursorPosition();
    RECT frame;
    GetWindowRect(dialog_, &frame);
    const TipPoint at =
        CursorTipPosition({cursor.x, cursor.y}, {frame.left, frame.top, frame.right, frame.bottom},
                          area_.right, area_.bottom);
    // Child windows are placed in client coordinates; measured from the outer frame, the box
    // would sit a caption bar's height below the cursor.
    POINT corner{at.x, at.y};
    ScreenToClient(dialog_, &corner);
    MoveWindow(window_->Handle(), corner.x, corner.y, area_.right - area_.left,
               area_.bottom - area_.top, TRUE);
    ShowWindow(window_->Handle(), SW_SHOW);
    InvalidateRect(window_->Handle(), nullptr, TRUE);
}

void CursorToolTipp::Redraw() {
    RedrawWindow(window_->Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}
