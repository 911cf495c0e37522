// One owner serves every kind of handle: non-copyable, movable, released on destruction.
#pragma once

#include <windows.h>

#include <cstddef>
#include <utility>

// Owns one handle. `Traits::None()` is the value that stands for no handle,
// `Traits::Free(handle)` releases one and says whether the system did.
template <typename Handle, typename Traits> class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, Traits::None())) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        reset(std::exchange(other.handle_, Traits::None()));
        return *this;
    }
    ~UniqueHandle() { close(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::None(); }
    void reset(Handle handle = Traits::None()) {
        close();
        handle_ = handle;
    }
    // Releases the handle now; returns false without a handle or when the system refused, as
    // the last writes to a file can fail only here.
    bool close() {
        const Handle handle = std::exchange(handle_, Traits::None());
        return handle != Traits::None() && Traits::Free(handle);
    }

private:
    Handle handle_ = Traits::None();
};

struct KernelHandleTraits {
    static std::nullptr_t None() { return nullptr; }
    static bool Free(HANDLE handle) { return CloseHandle(handle) != 0; }
};
// CreateFileW gives INVALID_HANDLE_VALUE, not null, for no file.
struct FileTraits : KernelHandleTraits {
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
};
struct FindTraits {
    static HANDLE None() { return INVALID_HANDLE_VALUE; }
    static bool Free(HANDLE find) { return FindClose(find) != 0; }
};
struct RegKeyTraits {
    static std::nullptr_t None() { return nullptr; }
    static bool Free(HKEY key) { return RegCloseKey(key) == ERROR_SUCCESS; }
};

// Owns text the system allocated for us (FormatMessageW with FORMAT_MESSAGE_ALLOCATE_BUFFER).
struct LocalTextTraits {
    static std::nullptr_t None() { return nullptr; }
    static bool Free(wchar_t* text) { return LocalFree(text) == nullptr; }
};

using UniqueProcess = UniqueHandle<HANDLE, KernelHandleTraits>;
using UniqueFile = UniqueHandle<HANDLE, FileTraits>;
using UniqueLocalText = UniqueHandle<wchar_t*, LocalTextTraits>;
using UniqueFind = UniqueHandle<HANDLE, FindTraits>;
using UniqueRegKey = UniqueHandle<HKEY, RegKeyTraits>;
