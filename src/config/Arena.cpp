#include "config/Arena.h"

#include <algorithm>
#include <cstdint>
#include <new>

Arena::Arena(std::size_t firstBlock) : nextBlock_(std::max<std::size_t>(firstBlock, 256)) {}

Arena::~Arena() {
    while (blocks_ != nullptr) {
        Block* next = blocks_->next;
        ::operator delete(blocks_);
        blocks_ = next;
    }
}

void* Arena::Allocate(std::size_t bytes, std::size_t align) {
    const auto aligned = [&](char* at) {
        return reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(at) + align - 1) &
                                       ~static_cast<std::uintptr_t>(align - 1));
    };
    char* at = aligned(free_);
    if (free_ == nullptr || at > end_ || static_cast<std::size_t>(end_ - at) < bytes) {
        constexpr std::size_t kLargest = static_cast<std::size_t>(-1) / 4;
        if (bytes > kLargest || align > kLargest) {
            throw std::bad_alloc();
        }
        const std::size_t size = std::max(nextBlock_, sizeof(Block) + align + bytes);
        auto* block = static_cast<Block*>(::operator new(size));
        block->next = blocks_;
        blocks_ = block;
        free_ = reinterpret_cast<char*>(block + 1);
        end_ = reinterpret_cast<char*>(block) + size;
        nextBlock_ = std::min(kLargest, nextBlock_ * 2);
        at = aligned(free_);
    }
    free_ = at + bytes;
    return at;
}
