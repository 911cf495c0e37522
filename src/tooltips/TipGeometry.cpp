#include "tooltips/TipGeometry.h"

#include <algorithm>

StripStart StartStrip(const TipRect& client, const TipRect& button, int W, int H) {
    StripStart start{};
    if (client.right - client.left - button.right < W) {
        start.direction = -1;
        start.rect.left = button.left;
    } else {
        start.direction = 1;
        start.rect.left = button.right - 50;
    }
    start.rect.right = start.rect.left;
    if (H <= 0) {
        start.rect.top = button.top;
        start.rect.bottom = button.bottom;
    } else if (client.bottom - client.top - button.top < H) {
        start.rect.top = button.bottom - H;
        start.rect.bottom = button.bottom;
    } else {
        start.rect.top = button.top;
        start.rect.bottom = button.top + H;
    }
    return start;
}

StripStep StepStrip(const TipRect& strip, int direction, bool growing, int W, int speed) {
    StripStep step{strip, false};
    const int w = strip.Width();
    if (growing) {
        if (w < W) {
            const int g = std::min(speed, W - w);
            (direction < 0 ? step.rect.left -= g : step.rect.right += g);
        }
    } else if (w > 2) {
        const int s = std::min(w, speed);
        (direction < 0 ? step.rect.left += s : step.rect.right -= s);
    } else {
        // Collapsed on the anchor side: at the left edge, a leftward strip would
        // creep 2 pixels away from its button with every retraction.
        step.retracted = true;
        (direction < 0 ? step.rect.left = step.rect.right : step.rect.right = step.rect.left);
    }
    return step;
}

TipPoint CursorTipPosition(TipPoint cursor, const TipRect& dialogFrame, int W, int H) {
    const int x = cursor.x + W > dialogFrame.right ? cursor.x - W - 30 : cursor.x;
    const int y = cursor.y + H > dialogFrame.bottom ? cursor.y - H - 30 : cursor.y;
    return {x, y};
}
