// A child control made by the system (a BUTTON, say) whose messages are
// subclassed to one C++ object, and to which the dialog reflects WM_DRAWITEM.
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
    // The object a window was subclassed to, or none.
    static Control* FromHandle(HWND hwnd);

    // WM_DRAWITEM for this control, reflected by its dialog.
    virtual void DrawItem(const DRAWITEMSTRUCT&) {}

protected:
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The control's own class procedure.
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Gives the window its class procedure back.
    void Unsubclass();

    HWND hwnd_ = nullptr;
    WNDPROC classProcedure_ = nullptr;
};
