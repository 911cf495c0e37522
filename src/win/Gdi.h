// Owners for GDI objects, icons and device contexts: nothing leaks per paint,
// and nothing stays selected in a context that is released.
#pragma once

#include <windows.h>

#include <utility>

template <typename Handle, typename Free> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void reset(Handle handle = nullptr) {
        if (handle_ != nullptr) {
            Free()(handle_);
        }
        handle_ = handle;
    }

private:
    Handle handle_ = nullptr;
};

struct GdiObjectFree {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct IconFree {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct MemoryDcFree {
    void operator()(HDC dc) const { DeleteDC(dc); }
};

using UniqueBrush = UniqueHandle<HBRUSH, GdiObjectFree>;
using UniquePen = UniqueHandle<HPEN, GdiObjectFree>;
using UniqueFont = UniqueHandle<HFONT, GdiObjectFree>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiObjectFree>;
using UniqueIcon = UniqueHandle<HICON, IconFree>;
using UniqueMemoryDc = UniqueHandle<HDC, MemoryDcFree>;

// Selects an object into a context and puts the previous one back on destruction.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(object != nullptr ? SelectObject(dc, object) : nullptr) {}
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;
    ~SelectGuard() {
        if (previous_ != nullptr) {
            SelectObject(dc_, previous_);
        }
    }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// BeginPaint/EndPaint for one WM_PAINT.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { EndPaint(window_, &paint_); }
    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// GetDC/ReleaseDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() { ReleaseDC(window_, dc_); }
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

inline void FillSolidRect(HDC dc, const RECT& rect, COLORREF color) {
    const COLORREF previous = SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}
