#include "win/WindowQuota.h"

namespace {

int windowsMade = 0;

} // namespace

bool ReserveWindow() {
    if (windowsMade >= kMaxMenuWindows) {
        return false;
    }
    ++windowsMade;
    return true;
}
