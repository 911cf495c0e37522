#include "xml/Arena.h"

#include <algorithm>
#include <new>

Arena::Arena(std::size_t firstBlock) : nextBlock_(std::max<std::size_t>(firstBlock, 256)) {}

Arena::~Arena() {
    while (blocks_ != nullptr) {
        Block* next = blocks_->next;
        ::operator delete(blocks_);
        blocks_ = next;
    }
}

void* Arena::AllocateInNewBlock(std::size_t bytes, std::size_t align) {
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
    return Allocate(bytes, align);
}
