// Drawing at the screen's DPI: for a program that asks for it, instead of the
// bitmap stretch Windows gives programs that declare no DPI awareness.
#pragma once

#include <windows.h>

#include "win/Gdi.h"

// Declares the process aware of the system DPI where the system knows DPI awareness
// (Vista and later; before, nothing is stretched), and returns that DPI. Must come
// before the process's first window.
int DeclareDpiAware();

// `picture` at `dpi` / 96 (Windows' default DPI) of its size: a colour picture resampled
// smoothly, a monochrome mask pixel by pixel so that it stays a mask.
UniqueBitmap ScaledToDpi(HBITMAP picture, int dpi);
