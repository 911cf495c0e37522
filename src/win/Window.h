// A window of our own class sends its messages to one C++ object.
#pragma once

#include <windows.h>

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const { return hwnd_; }

protected:
    // Registers `className` once per process with this object's procedure.
    static void RegisterClassOnce(const wchar_t* className, const wchar_t* systemCursor);
    // Creates the window; its messages go to HandleMessage from WM_NCCREATE on.
    HWND Create(const wchar_t* className, DWORD style, DWORD exStyle, const RECT& rect, HWND parent,
                int id);
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};
