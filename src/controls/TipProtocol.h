// Controls and the dialog's one tooltip talk through these: the tooltip kinds implement
// TipDisplay, the controls TipButton.
#pragma once

#include <windows.h>

#include <string>

inline constexpr int kNoTipId = 999999;

// A tooltip needs this of a button.
class TipButton {
public:
    virtual HWND GetTipAnchor() const = 0; // the button's window
    virtual int GetControlId() const = 0;
    virtual const std::wstring& GetTooltipText() const = 0;

protected:
    ~TipButton() = default;
};

// A button needs this of the tooltip.
class TipDisplay {
public:
    // Returns false when the button's tooltip window could not be made.
    virtual bool AddButton(TipButton* button) = 0;
    // Shows `tipText` for the control `id`; kNoTipId with empty text hides the tip.
    virtual void SetTip(int id, const std::wstring& tipText) = 0;
    // Returns the id last asked for: 0 before the first request, kNoTipId for none.
    virtual int GetCurrentId() const = 0;
    virtual void Redraw() = 0;

protected:
    ~TipDisplay() = default;
};
