// The dialog has one tooltip, which buttons and the dialog drive through this protocol. It
// comes in three kinds: a fixed text area, a strip that slides out of the button under the
// cursor, and a box at the cursor.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "controls/TipProtocol.h"

inline constexpr int kTipTimerOffset = 9000;

class TToolTipp : public TipDisplay {
public:
    TToolTipp(HWND dialog, int left, int top, int right, int bottom)
        : area_{left, top, right, bottom}, dialog_(dialog) {}
    TToolTipp(const TToolTipp&) = delete;
    TToolTipp& operator=(const TToolTipp&) = delete;
    virtual ~TToolTipp() = default;

    bool AddButton(TipButton* button) override {
        buttons_.push_back(button);
        return true;
    }
    // Says whether the windows made at construction exist.
    virtual bool WindowsMade() const { return true; }
    // These count the windows made at construction and for each button added.
    virtual int WindowsAtStart() const { return 0; }
    virtual int WindowsPerButton() const { return 0; }
    void SetTip(int id, const std::wstring& tipText) override {
        currentId_ = id;
        text_ = tipText;
    }
    virtual void SetTipTextColor(COLORREF color) { textColor_ = color; }
    virtual void SetTipBkColor(COLORREF color) { bkColor_ = color; }
    virtual void OnTipTimer(UINT_PTR timerId) = 0;
    void Redraw() override {}
    // Runs any animation to its end at once, showing what the user sees once it rests.
    virtual void Settle() {}
    // Places tips by this cursor position (screen) instead of the real one.
    void AssumeCursor(POINT screen) { assumedCursor_ = screen; }

    int GetCurrentId() const override { return currentId_; }

protected:
    POINT CursorPosition() const;

    std::optional<POINT> assumedCursor_;
    std::wstring text_;
    int currentId_ = 0;
    COLORREF bkColor_ = 0;
    COLORREF textColor_ = 0;
    RECT area_;
    HWND dialog_;
    std::vector<TipButton*> buttons_;
};

inline POINT TToolTipp::CursorPosition() const {
    if (assumedCursor_) {
        return *assumedCursor_;
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    return cursor;
}
