#include "controls/MakeFont.h"

UniqueFont MakeFont(const FontSpec& spec) {
    return UniqueFont(CreateFontW(spec.height, 0, 0, 0, spec.weight, spec.italic, spec.underline,
                                  FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                  DEFAULT_QUALITY, FF_SWISS | DEFAULT_PITCH, spec.face.c_str()));
}
