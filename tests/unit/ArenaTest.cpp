#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

#include "xml/Arena.h"

namespace {

// Every block handed out is aligned as asked, lies apart from all others and stays
// writable until the arena goes, across block boundaries and oversized requests.
TEST(Arena, BlocksAreAlignedAndApart) {
    Arena arena(64);
    struct Given {
        unsigned char* at;
        std::size_t bytes;
        unsigned char fill;
    };
    std::vector<Given> given;
    const std::size_t sizes[] = {1, 3, 8, 17, 250, 4096, 70000, 0, 5};
    const std::size_t aligns[] = {1, 2, 4, 8, 16, 64};
    unsigned char fill = 1;
    for (std::size_t round = 0; round < 40; ++round) {
        const std::size_t bytes = sizes[round % std::size(sizes)];
        const std::size_t align = aligns[round % std::size(aligns)];
        auto* at = static_cast<unsigned char*>(arena.Allocate(bytes, align));
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(at) % align, 0u) << round;
        std::memset(at, fill, bytes);
        given.push_back({at, bytes, fill++});
    }
    for (const Given& g : given) {
        for (std::size_t i = 0; i < g.bytes; ++i) {
            ASSERT_EQ(g.at[i], g.fill);
        }
    }
}

TEST(Arena, ARequestNoMemoryCanHoldIsRefused) {
    Arena arena(64);
    EXPECT_THROW(arena.Allocate(static_cast<std::size_t>(-1) - 8, 8), std::bad_alloc);
    EXPECT_NE(arena.Allocate(16, 8), nullptr); // the arena is still usable
}

} // namespace
