#include "win/Dpi.h"

int DeclareDpiAware() {
    // The menu is system aware, not per monitor: on a second screen of another scale Windows
    // stretches the window as it does for system-aware programs.
    using SetProcessDpiAwareFn = BOOL(WINAPI*)();
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32"), "SetProcessDPIAware");
    if (found != nullptr) {
        reinterpret_cast<SetProcessDpiAwareFn>(reinterpret_cast<void*>(found))();
    }
    const int dpi = GetDeviceCaps(WindowDc(nullptr).get(), LOGPIXELSY);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

UniqueBitmap ScaledToDpi(HBITMAP picture, int dpi) {
    BITMAP bm{};
    GetObjectW(picture, sizeof bm, &bm);
    // MulDiv rounds halves away from zero, as settings are scaled; no picture overflows it.
    const int width = MulDiv(bm.bmWidth, dpi, USER_DEFAULT_SCREEN_DPI);
    const int height = MulDiv(bm.bmHeight, dpi, USER_DEFAULT_SCREEN_DPI);
    const bool mask = bm.bmBitsPixel == 1;
    UniqueBitmap scaled(mask ? CreateBitmap(width, height, 1, 1, nullptr)
                             : CreateCompatibleBitmap(WindowDc(nullptr).get(), width, height));
    if (!scaled) {
        return scaled;
    }
    const UniqueMemoryDc from(CreateCompatibleDC(nullptr));
    const UniqueMemoryDc to(CreateCompatibleDC(nullptr));
    const SelectGuard source(from.get(), picture);
    const SelectGuard target(to.get(), scaled.get());
    SetStretchBltMode(to.get(), mask ? COLORONCOLOR : HALFTONE);
    SetBrushOrgEx(to.get(), 0, 0, nullptr); // HALFTONE requires it
    StretchBlt(to.get(), 0, 0, width, height, from.get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY);
    return scaled;
}
