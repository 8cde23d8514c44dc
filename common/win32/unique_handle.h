#pragma once
// Owners of system handles: closed once, on scope exit; movable, not copyable.

#include <windows.h>

#include <utility>

namespace qm::win32 {

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Type get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::invalid(); }
    Type release() { return std::exchange(handle_, Traits::invalid()); }
    void reset(Type handle = Traits::invalid()) {
        Type old = std::exchange(handle_, handle);
        if (old != Traits::invalid()) Traits::close(old);
    }
    // For functions that return a handle through a pointer: closes the old one first.
    Type* put() {
        reset();
        return &handle_;
    }

private:
    Type handle_ = Traits::invalid();
};

struct KeyTraits {
    using Type = HKEY;
    static Type invalid() { return nullptr; }
    static void close(Type key) { RegCloseKey(key); }
};

// Kernel objects whose failure value is NULL (events, processes, mappings).
struct KernelTraits {
    using Type = HANDLE;
    static Type invalid() { return nullptr; }
    static void close(Type handle) { CloseHandle(handle); }
};

// Files, whose failure value is INVALID_HANDLE_VALUE.
struct FileTraits {
    using Type = HANDLE;
    static Type invalid() { return INVALID_HANDLE_VALUE; }
    static void close(Type handle) { CloseHandle(handle); }
};

using UniqueKey = UniqueHandle<KeyTraits>;
using UniqueKernelHandle = UniqueHandle<KernelTraits>;
using UniqueFile = UniqueHandle<FileTraits>;

}  // namespace qm::win32
