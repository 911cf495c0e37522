// A tooltip shows its text in this window: one background colour and one word-wrapped text
// in one font, with an 8-pixel margin. A plain window of our own class that paints itself
// serves as well as a rich-edit control would.
#pragma once

#include <string>

#include "win/Gdi.h"
#include "win/Window.h"

inline constexpr int kTipWindowId = 8888;

class TTEdit : public Window {
public:
    // Creates a child of `parent` with control id 8888.
    TTEdit(HWND parent, DWORD style, DWORD exStyle, const RECT& rect);

    // The text becomes the window's text too, so that screen readers can read the tip.
    void SetEditText(const std::wstring& text);
    std::wstring GetEditText() const { return m_strText; }
    void SetBackground(COLORREF color);
    void SetTextColor(COLORREF color) { m_crText = color; }
    void SetFont(HFONT font) { m_pFont = font; }

    // Paints the background, then the text, for WM_PAINT and WM_PRINTCLIENT.
    void PaintContent(HDC dc) const;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    COLORREF m_crBackground = RGB(255, 255, 255);
    COLORREF m_crText = RGB(0, 0, 0);
    UniqueBrush m_brBackground;
    std::wstring m_strText;
    HFONT m_pFont = nullptr; // not owned
};
