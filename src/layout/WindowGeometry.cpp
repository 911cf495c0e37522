#include "layout/WindowGeometry.h"

#include <algorithm>
#include <cstdint>

int WindowExtent(int configured, int picture, int frame) {
    const int client = std::clamp(std::max(configured, picture), 0, kMaxWindowExtent);
    return std::clamp(SatAdd(client, frame), 0, kMaxWindowExtent);
}

WindowPlace OntoWorkArea(const WindowPlace& window, const GridRect& workArea) {
    const std::int64_t right = std::int64_t{window.left} + std::max(window.width, 0);
    const std::int64_t bottom = std::int64_t{window.top} + std::max(window.height, 0);
    const bool overlaps = right > workArea.left && window.left < workArea.right &&
                          bottom > workArea.top && window.top < workArea.bottom;
    if (overlaps) {
        return window;
    }
    const auto onto = [](int at, int extent, int low, int high) {
        return SaturateToInt(std::clamp<std::int64_t>(
            at, low, std::max<std::int64_t>(low, std::int64_t{high} - extent)));
    };
    return {onto(window.left, window.width, workArea.left, workArea.right),
            onto(window.top, window.height, workArea.top, workArea.bottom), window.width,
            window.height};
}
