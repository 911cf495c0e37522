#include "layout/TipGeometry.h"

#include <algorithm>
#include <cstdint>

#include "util/Saturating.h"

StripStart StartStrip(const TipRect& client, const TipRect& button, int W, int H) {
    StripStart start{};
    if (std::int64_t{client.right} - client.left - button.right < W) {
        start.direction = -1;
        start.rect.left = button.left;
    } else {
        start.direction = 1;
        start.rect.left = SatSub(button.right, 50);
    }
    start.rect.right = start.rect.left;
    if (H <= 0) {
        start.rect.top = button.top;
        start.rect.bottom = button.bottom;
    } else if (std::int64_t{client.bottom} - client.top - button.top < H) {
        start.rect.top = SatSub(button.bottom, H);
        start.rect.bottom = button.bottom;
    } else {
        start.rect.top = button.top;
        start.rect.bottom = SatAdd(button.top, H);
    }
    return start;
}

StripStep StepStrip(const TipRect& strip, int direction, bool growing, int W, int speed) {
    StripStep step{strip, false};
    const std::int64_t w = std::int64_t{strip.right} - strip.left;
    if (growing) {
        if (w < W) {
            const int g = SaturateToInt(std::min<std::int64_t>(speed, W - w));
            (direction < 0 ? step.rect.left = SatSub(step.rect.left, g)
                           : step.rect.right = SatAdd(step.rect.right, g));
        }
    } else if (w > 2) {
        const int s = SaturateToInt(std::min<std::int64_t>(w, speed));
        (direction < 0 ? step.rect.left = SatAdd(step.rect.left, s)
                       : step.rect.right = SatSub(step.rect.right, s));
    } else {
        // The strip collapses on the anchor side: at the left edge, a leftward strip would
        // creep 2 pixels away from its button with every retraction.
        step.retracted = true;
        (direction < 0 ? step.rect.left = step.rect.right : step.rect.right = step.rect.left);
    }
    return step;
}

TipPoint CursorTipPosition(TipPoint cursor, const TipRect& dialogFrame, int W, int H) {
    const int x = std::int64_t{cursor.x} + W > dialogFrame.right
                      ? SaturateToInt(std::int64_t{cursor.x} - W - 30)
                      : cursor.x;
    const int y = std::int64_t{cursor.y} + H > dialogFrame.bottom
                      ? SaturateToInt(std::int64_t{cursor.y} - H - 30)
                      : cursor.y;
    return {x, y};
}
