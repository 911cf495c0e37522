// A program that asks for it draws at the screen's DPI instead of taking the bitmap stretch
// Windows gives programs that declare no DPI awareness.
#pragma once

#include <windows.h>

#include "win/Gdi.h"

// Declares the process aware of the system DPI where the system knows DPI awareness (Vista
// and later; before, nothing is stretched), and returns that DPI. It must come before the
// process's first window.
int DeclareDpiAware();

// Scales `picture` by `dpi` / 96 (Windows' default DPI): a colour picture is resampled
// smoothly, a monochrome mask pixel by pixel so that it stays a mask.
UniqueBitmap ScaledToDpi(HBITMAP picture, int dpi);
