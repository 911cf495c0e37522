// A child control made by the system (a BUTTON, say) sends its messages to one C++ object,
// and the dialog reflects WM_DRAWITEM to it.
#pragma once

#include <windows.h>

class Control {
public:
    Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control();

    HWND Handle() const { return hwnd_; }
    // Routes the window's messages to HandleMessage from now on.
    void Subclass(HWND hwnd);
    // Returns the object a window was subclassed to, or none.
    static Control* FromHandle(HWND hwnd);

    // Draws the control on the WM_DRAWITEM its dialog reflects.
    virtual void DrawItem(const DRAWITEMSTRUCT&) {}

protected:
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Passes a message to the control's own class procedure.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Gives the window its class procedure back.
    void Unsubclass();

    HWND hwnd_ = nullptr;
    WNDPROC classProcedure_ = nullptr;
};
