#include "win32/ComTypes.h"

#include <new>
#include <stdexcept>

namespace hb::win32 {

Bstr::Bstr(const std::wstring& text) : value_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
    if (value_ == nullptr) throw std::bad_alloc();
}

BorrowedByteArray::BorrowedByteArray(const void* data, ULONG size) {
    if (FAILED(::SafeArrayAllocDescriptorEx(VT_UI1, 1, &array_))) throw std::bad_alloc();
    array_->cbElements = 1;
    array_->rgsabound[0].lLbound = 0;
    array_->rgsabound[0].cElements = size;
    // Static data: nothing may free or resize it through the array.
    array_->fFeatures |= FADF_STATIC | FADF_FIXEDSIZE;
    array_->pvData = const_cast<void*>(data);
}

BorrowedByteArray::~BorrowedByteArray() {
    // Detach the borrowed bytes, then free only the descriptor.
    array_->pvData = nullptr;
    ::SafeArrayDestroyDescriptor(array_);
}

VARIANT BorrowedByteArray::asVariant() const {
    VARIANT value;
    ::VariantInit(&value);
    V_VT(&value) = VT_ARRAY | VT_UI1;
    V_ARRAY(&value) = array_;
    return value;
}

std::string BytesOfByteArray(const VARIANT& value) {
    if (V_VT(&value) == VT_EMPTY || V_VT(&value) == VT_NULL) return {};
    if (V_VT(&value) != (VT_ARRAY | VT_UI1) || V_ARRAY(&value) == nullptr ||
        ::SafeArrayGetDim(V_ARRAY(&value)) != 1)
        throw std::invalid_argument("not a byte array");
    SAFEARRAY* array = V_ARRAY(&value);
    void* data = nullptr;
    if (FAILED(::SafeArrayAccessData(array, &data))) throw std::invalid_argument("byte array not accessible");
    struct Unaccess {
        SAFEARRAY* array;
        ~Unaccess() { ::SafeArrayUnaccessData(array); }
    } unaccess{array};
    return std::string(static_cast<const char*>(data), array->rgsabound[0].cElements);
}

}  // namespace hb::win32
