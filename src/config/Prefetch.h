// Memory asked for a page before it is reached: the processor's own look-ahead stops at the
// end of each 4 KB page, and text copied or a tree filled front to back would wait at each.
#pragma once

#include <cstdint>

// Asks for the memory a page past `at`, to be read or, with `kForWriting`, written. Asking
// never faults, whatever lies there, and the address is never formed as a pointer.
template <bool kForWriting = false> inline void AskPageAhead(const void* at) {
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(at) + 4096),
                       kForWriting ? 1 : 0);
}
