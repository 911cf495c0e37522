// A font description of the configuration made into a font.
#pragma once

#include "config/ValueConversions.h"
#include "win/Gdi.h"

// A new font every call. When the platform cannot make it, the result holds no
// font and controls use the system font.
UniqueFont MakeFont(const FontSpec& spec);
