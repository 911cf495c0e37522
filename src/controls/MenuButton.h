// The push button is a TButton with an optional one-pixel 3-D frame in three shades of its
// background, raised normally and sunken while pressed.
#pragma once

#include "controls/TButton.h"

class MenuButton : public TButton {
public:
    explicit MenuButton(int page) : TButton(page) {}
    void SetBackgroundColor(COLORREF color) override;

protected:
    void DrawItem(const DRAWITEMSTRUCT& item) override;

private:
    Shades shades_{0, 0, 0};
};
