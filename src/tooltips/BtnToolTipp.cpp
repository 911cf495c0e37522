#include "tooltips/BtnToolTipp.h"

#include "layout/TipGeometry.h"

namespace {

TipRect RectInDialog(HWND window, HWND dialog) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

} // namespace

bool BtnToolTipp::AddButton(TipButton* button) {
    TToolTipp::AddButton(button);
    windows_.emplace_back();
    ids_.push_back(button->GetControlId());
    directions_.push_back(0);
    return true;
}

TTEdit* BtnToolTipp::Strip(std::size_t i) {
    if (windows_[i]) {
        return windows_[i].get();
    }
    // The client edge gives our own window class the sunken border the strip style asks for.
    // The strip starts hidden, as the menu is on screen by now.
    auto window = std::make_unique<TTEdit>(dialog_, WS_CHILD, WS_EX_CLIENTEDGE, area_);
    if (window->Handle() == nullptr) {
        return nullptr; // no tip for this button while the system has no window to spare
    }
    const HWND anchor = buttons_[i]->GetTipAnchor();
    window->SetEditText(buttons_[i]->GetTooltipText());
    window->SetBackground(bkColor_);
    window->SetTextColor(textColor_);
    window->SetFont(font_);
    RECT client;
    GetClientRect(dialog_, &client);
    const StripStart start = StartStrip({client.left, client.top, client.right, client.bottom},
                                        RectInDialog(anchor, dialog_), area_.right, area_.bottom);
    // The strip stacks right below its button, where it would lie had it been made with it.
    SetWindowPos(window->Handle(), anchor, start.rect.left, start.rect.top, 0, start.rect.Height(),
                 SWP_NOACTIVATE);
    directions_[i] = start.direction;
    windows_[i] = std::move(window);
    return windows_[i].get();
}

void BtnToolTipp::SetTip(int id, const std::wstring&) {
    currentId_ = id;
    if (id == kNoTipId) {
        return; // running strips retract on their next ticks
    }
    for (std::size_t i = 0; i < ids_.size(); ++i) {
        if (ids_[i] == id) {
            const TTEdit* strip =
                buttons_[i]->GetTooltipText().empty() ? nullptr : Strip(i); // made on first use
            if (strip != nullptr) {
                SetTimer(dialog_, static_cast<UINT_PTR>(id + kTipTimerOffset),
                         static_cast<UINT>(interval_), nullptr);
                ShowWindow(strip->Handle(), SW_SHOW);
            }
            return;
        }
    }
}

void BtnToolTipp::OnTipTimer(UINT_PTR timerId) {
    const int id = static_cast<int>(timerId) - kTipTimerOffset;
    for (std::size_t i = 0; i < ids_.size(); ++i) {
        if (ids_[i] != id || !windows_[i]) {
            continue;
        }
        const HWND strip = windows_[i]->Handle();
        const StripStep step = StepStrip(RectInDialog(strip, dialog_), directions_[i],
                                         id == currentId_, area_.right, speed_);
        if (step.retracted) {
            KillTimer(dialog_, timerId);
            ShowWindow(strip, SW_HIDE);
        }
        MoveWindow(strip, step.rect.left, step.rect.top, step.rect.Width(), step.rect.Height(),
                   TRUE);
        InvalidateRect(strip, nullptr, TRUE);
        return;
    }
}

void BtnToolTipp::Settle() {
    for (std::size_t i = 0; i < ids_.size(); ++i) {
        if (!windows_[i]) {
            continue;
        }
        const HWND strip = windows_[i]->Handle();
        for (;;) {
            if ((GetWindowLongPtrW(strip, GWL_STYLE) & WS_VISIBLE) == 0) {
                break;
            }
            const TipRect before = RectInDialog(strip, dialog_);
            OnTipTimer(static_cast<UINT_PTR>(ids_[i] + kTipTimerOffset));
            const TipRect after = RectInDialog(strip, dialog_);
            if (before.left == after.left && before.right == after.right) {
                break; // grown to its width, or a speed of 0 that never moves it
            }
        }
    }
}
