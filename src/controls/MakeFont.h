// Makes a font from a font description of the configuration.
#pragma once

#include "config/ValueConversions.h"
#include "win/Gdi.h"

// Each call makes a new font. When the platform cannot make it, the result holds no font
// and controls use the system font.
UniqueFont MakeFont(const FontSpec& spec);
