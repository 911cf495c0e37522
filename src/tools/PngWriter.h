// Pictures are written as PNG files: 8-bit RGB, compressed with fixed-code deflate. The same
// pixels always give the same bytes, so equal files mean equal pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// `rgb` holds rows from the top, 3 bytes a pixel (red, green, blue).
std::string EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb);
