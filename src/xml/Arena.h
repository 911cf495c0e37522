// Memory handed out by bumping a pointer and released all at once: the store of one
// element tree. Smaller than the standard library's memory resources, which a
// disc menu would otherwise carry with their locks.
#pragma once

#include <cstddef>
#include <cstdint>

class Arena {
public:
    // `firstBlock`: bytes of the first block; later blocks double.
    explicit Arena(std::size_t firstBlock);
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;
    ~Arena();

    // `bytes` aligned to `align` (a power of two); raises std::bad_alloc when no memory is left.
    void* Allocate(std::size_t bytes, std::size_t align) {
        const std::uintptr_t at = (reinterpret_cast<std::uintptr_t>(free_) + align - 1) &
                                  ~static_cast<std::uintptr_t>(align - 1);
        if (free_ != nullptr && at <= reinterpret_cast<std::uintptr_t>(end_) &&
            reinterpret_cast<std::uintptr_t>(end_) - at >= bytes) {
            free_ = reinterpret_cast<char*>(at) + bytes;
            return reinterpret_cast<char*>(at);
        }
        return AllocateInNewBlock(bytes, align);
    }

private:
    void* AllocateInNewBlock(std::size_t bytes, std::size_t align);

    struct Block {
        Block* next;
    };

    Block* blocks_ = nullptr;
    char* free_ = nullptr;
    char* end_ = nullptr;
    std::size_t nextBlock_;
};

// A standard allocator over an arena; giving back is a no-op until the arena goes.
template <typename T> class ArenaAllocator {
public:
    using value_type = T;

    explicit ArenaAllocator(Arena* arena) : arena_(arena) {}
    template <typename U> ArenaAllocator(const ArenaAllocator<U>& other) : arena_(other.arena()) {}

    // Containers ask for at most max_size() elements, so the product cannot overflow.
    T* allocate(std::size_t n) {
        return static_cast<T*>(arena_->Allocate(n * sizeof(T), alignof(T)));
    }
    void deallocate(T*, std::size_t) {}
    Arena* arena() const { return arena_; }

    template <typename U> bool operator==(const ArenaAllocator<U>& other) const {
        return arena_ == other.arena();
    }

private:
    Arena* arena_;
};
