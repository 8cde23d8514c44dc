#pragma once
// One counted interface pointer. Copies AddRef, moves steal, destruction
// releases; put() releases the old pointer before handing out T**.

#include <objbase.h>

#include <utility>

namespace qm::win32 {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference to `p`.
    explicit ComPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(other.detach()) {}
    ~ComPtr() { reset(); }

    ComPtr& operator=(const ComPtr& other) {
        ComPtr(other).swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).swap(*this);
        return *this;
    }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

    void reset() {
        if (T* old = std::exchange(p_, nullptr)) old->Release();
    }
    // Adopts a reference the caller already owns, releasing the old pointer.
    void attach(T* p) {
        T* old = std::exchange(p_, p);
        if (old) old->Release();
    }
    T* detach() { return std::exchange(p_, nullptr); }
    T** put() {
        reset();
        return &p_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    void swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

    template <typename U>
    ComPtr<U> as(REFIID iid) const {
        ComPtr<U> result;
        if (p_) p_->QueryInterface(iid, result.putVoid());
        return result;
    }
    template <typename U>
    ComPtr<U> as() const {
        return as<U>(__uuidof(U));
    }

private:
    T* p_ = nullptr;
};

}  // namespace qm::win32
