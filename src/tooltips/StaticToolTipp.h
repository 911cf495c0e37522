// The static tooltip shows every button's tip in one fixed place of the dialog.
#pragma once

#include <memory>

#include "tooltips/TTEdit.h"
#include "tooltips/TToolTipp.h"

class StaticToolTipp : public TToolTipp {
public:
    // The tip lies at (left, top) of the client area, `width` by `height`.
    StaticToolTipp(HWND dialog, int left, int top, int width, int height, HFONT font);

    bool AddButton(TipButton*) override { return true; }
    bool WindowsMade() const override { return window_->Handle() != nullptr; }
    int WindowsAtStart() const override { return 1; }
    void SetTip(int id, const std::wstring& tipText) override;
    void SetTipTextColor(COLORREF color) override;
    void SetTipBkColor(COLORREF color) override;
    void OnTipTimer(UINT_PTR) override {}

    HWND GetTipWindow() const { return window_->Handle(); }

protected:
    HFONT font_; // not owned
    std::unique_ptr<TTEdit> window_;
};

// The cursor tooltip places a box at the cursor when the cursor enters a button.
class CursorToolTipp : public StaticToolTipp {
public:
    CursorToolTipp(HWND dialog, int left, int top, int width, int height, HFONT font);

    void SetTip(int id, const std::wstring& tipText) override;
    void Redraw() override;
};
