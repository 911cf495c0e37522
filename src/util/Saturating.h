// Sizes and positions come from the configuration unchecked, so their arithmetic stops at
// int's ends instead of overflowing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

constexpr int SaturateToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

constexpr int SatAdd(int a, int b) {
    return SaturateToInt(std::int64_t{a} + b);
}

constexpr int SatSub(int a, int b) {
    return SaturateToInt(std::int64_t{a} - b);
}
