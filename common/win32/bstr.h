#pragma once
// Owners of the automation types at the browser's COM boundary: a BSTR freed
// once, and a VARIANT cleared once. Movable, not copyable.

#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

namespace qm::win32 {

class Bstr {
public:
    Bstr() = default;
    // A copy of `text`; stays null when the allocation fails.
    explicit Bstr(std::wstring_view text)
        : b_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { reset(); }
    Bstr(Bstr&& other) noexcept : b_(std::exchange(other.b_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) {
            reset();
            b_ = std::exchange(other.b_, nullptr);
        }
        return *this;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const { return b_; }
    void reset() {
        SysFreeString(b_);
        b_ = nullptr;
    }
    // For out-parameters: frees the old string first.
    BSTR* put() {
        reset();
        return &b_;
    }
    // The text; a null BSTR is the empty text.
    std::wstring str() const { return b_ ? std::wstring(b_, SysStringLen(b_)) : std::wstring(); }

private:
    BSTR b_ = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&v_); }
    ~Variant() { VariantClear(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    VARIANT* get() { return &v_; }
    const VARIANT& operator*() const { return v_; }
    const VARIANT* operator->() const { return &v_; }
    // For out-parameters: clears the old value first.
    VARIANT* put() {
        VariantClear(&v_);
        return &v_;
    }

private:
    VARIANT v_;
};

}  // namespace qm::win32
