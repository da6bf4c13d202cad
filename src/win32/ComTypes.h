#pragma once
// RAII for the automation types: BSTR, VARIANT and SAFEARRAY.

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace hb::win32 {

class Bstr {
public:
    Bstr() = default;
    // Throws std::bad_alloc when the string cannot be allocated.
    explicit Bstr(const std::wstring& text);
    ~Bstr() { reset(); }
    Bstr(Bstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        std::swap(value_, other.value_);
        return *this;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const { return value_; }
    BSTR* put() {
        reset();
        return &value_;
    }
    std::wstring text() const { return value_ == nullptr ? std::wstring() : std::wstring(value_, ::SysStringLen(value_)); }
    void reset() {
        if (value_ != nullptr) ::SysFreeString(std::exchange(value_, nullptr));
    }

private:
    BSTR value_ = nullptr;
};

class Variant {
public:
    Variant() { ::VariantInit(&value_); }
    ~Variant() { ::VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    static Variant boolean(bool value) {
        Variant result;
        V_VT(&result.value_) = VT_BOOL;
        V_BOOL(&result.value_) = value ? VARIANT_TRUE : VARIANT_FALSE;
        return result;
    }
    Variant(Variant&& other) noexcept : value_(other.value_) { ::VariantInit(&other.value_); }

    const VARIANT& get() const { return value_; }
    VARIANT* put() {
        ::VariantClear(&value_);
        return &value_;
    }

private:
    VARIANT value_;
};

// A one-dimensional byte array that lends the caller's buffer to COM for
// the length of one call, instead of copying a body of many megabytes.
// The buffer must outlive the object; COM may only read it during the call.
class BorrowedByteArray {
public:
    // Throws std::bad_alloc when the descriptor cannot be allocated.
    BorrowedByteArray(const void* data, ULONG size);
    ~BorrowedByteArray();
    BorrowedByteArray(const BorrowedByteArray&) = delete;
    BorrowedByteArray& operator=(const BorrowedByteArray&) = delete;

    // A VARIANT of VT_ARRAY | VT_UI1 that refers to the array (not owned).
    VARIANT asVariant() const;

private:
    SAFEARRAY* array_ = nullptr;
};

// The bytes of a VARIANT holding a one-dimensional byte array (empty for
// an empty VARIANT). Throws std::bad_alloc when they cannot be copied, and
// std::invalid_argument for any other kind of value.
std::string BytesOfByteArray(const VARIANT& value);

}  // namespace hb::win32
