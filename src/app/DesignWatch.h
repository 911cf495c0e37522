// Tells a window when one file changes, from the folder's change notifications: nothing is
// read or run while the file stays as it is.
#pragma once

#include <windows.h>

#include <string>

class DesignWatch {
public:
    // Posts `message` to `window` after each change of the file at `path` (written, made,
    // renamed to or from its name, removed), at most one at a time: the next comes once
    // Handled() was called.
    DesignWatch(const std::wstring& path, HWND window, UINT message);
    ~DesignWatch();
    DesignWatch(const DesignWatch&) = delete;
    DesignWatch& operator=(const DesignWatch&) = delete;

    // False when the folder gives no notifications (it cannot be opened for them).
    bool Started() const { return thread_ != nullptr; }
    void Handled() { InterlockedExchange(&posted_, 0); }

private:
    static DWORD WINAPI Run(void* self);
    void Watch();
    // Whether a notification in `buffer` names the file; all do when `size` is 0 (more
    // changes than the buffer holds).
    bool NamesFile(const BYTE* buffer, DWORD size) const;

    std::wstring name_;
    HWND window_;
    UINT message_;
    HANDLE folder_ = INVALID_HANDLE_VALUE;
    HANDLE stop_ = nullptr;
    HANDLE thread_ = nullptr;
    volatile LONG posted_ = 0;
};
