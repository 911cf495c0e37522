// Each button gets a strip that slides out of it while the cursor is over it and back in
// when it leaves, driven by one dialog timer (control id + 9000) per button. A strip's
// window is made when its button is first hovered, so the menu appears without any.
#pragma once

#include <memory>
#include <vector>

#include "tooltips/TTEdit.h"
#include "tooltips/TToolTipp.h"

class BtnToolTipp : public TToolTipp {
public:
    BtnToolTipp(HWND dialog, int left, int top, int width, int height, int interval, int speed)
        : TToolTipp(dialog, left, top, width, height), interval_(interval), speed_(speed) {}

    void SetFont(HFONT tipFont) { font_ = tipFont; }
    bool AddButton(TipButton* button) override;
    int WindowsPerButton() const override { return 1; }
    void SetTip(int id, const std::wstring& tipText) override;
    void OnTipTimer(UINT_PTR timerId) override;
    void Settle() override;

    // Returns the i-th registered button's strip; none before its first tip.
    HWND GetTipWindow(std::size_t i) const { return windows_[i] ? windows_[i]->Handle() : nullptr; }

private:
    // Returns the i-th button's strip, made now if needed; none when it cannot be made.
    TTEdit* Strip(std::size_t i);

    HFONT font_ = nullptr; // not owned
    std::vector<std::unique_ptr<TTEdit>> windows_;
    std::vector<int> ids_;
    std::vector<int> directions_;
    int interval_;
    int speed_;
};
