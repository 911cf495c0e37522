#include "win/Gdi.h"

void DrawPicture(HDC dc, HBITMAP picture, int x, int y, int width, int height, bool blended,
                 DWORD rop) {
    const UniqueMemoryDc memory(CreateCompatibleDC(dc));
    const SelectGuard selected(memory.get(), picture);
    if (blended) {
        // gdi32's own export: no further library for the menu to load.
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        GdiAlphaBlend(dc, x, y, width, height, memory.get(), 0, 0, width, height, blend);
    } else {
        BitBlt(dc, x, y, width, height, memory.get(), 0, 0, rop);
    }
}
