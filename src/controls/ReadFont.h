// A font element of the configuration made into a font.
#pragma once

#include "win/Gdi.h"

class xmlElement;

// A new font every call; a missing element reads as one without attributes.
// When the platform cannot make it, the result holds no font and controls use the system font.
UniqueFont ReadFont(const xmlElement* element);
