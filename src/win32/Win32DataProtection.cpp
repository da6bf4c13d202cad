#include "win32/Win32DataProtection.h"

#include <windows.h>
#include <dpapi.h>

#include <climits>

#include "win32/Handles.h"

namespace hb::win32 {

namespace {

constexpr char kEntropy[] = "HoardbookUploader remembered password";

DATA_BLOB BlobOf(std::string_view bytes) {
    DATA_BLOB blob{};
    blob.cbData = static_cast<DWORD>(bytes.size());
    blob.pbData = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()));
    return blob;
}

// The output DPAPI allocated, copied, wiped and freed; nothing when it failed.
std::optional<std::string> Taken(BOOL ok, DATA_BLOB& out) {
    if (!ok) return std::nullopt;
    UniqueLocal owned(out.pbData);
    std::string bytes(reinterpret_cast<const char*>(out.pbData), out.cbData);
    ::SecureZeroMemory(out.pbData, out.cbData);
    return bytes;
}

}  // namespace

std::optional<std::string> Win32DataProtection::protect(std::string_view plain) const {
    if (plain.size() > INT_MAX) return std::nullopt;
    DATA_BLOB in = BlobOf(plain);
    DATA_BLOB entropy = BlobOf(kEntropy);
    DATA_BLOB out{};
    // No UI: the program runs at logon, unattended.
    const BOOL ok = ::CryptProtectData(&in, L"HoardbookUploader", &entropy, nullptr, nullptr,
                                       CRYPTPROTECT_UI_FORBIDDEN, &out);
    return Taken(ok, out);
}

std::optional<std::string> Win32DataProtection::unprotect(std::string_view blob) const {
    if (blob.size() > INT_MAX) return std::nullopt;
    DATA_BLOB in = BlobOf(blob);
    DATA_BLOB entropy = BlobOf(kEntropy);
    DATA_BLOB out{};
    const BOOL ok =
        ::CryptUnprotectData(&in, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN, &out);
    return Taken(ok, out);
}

}  // namespace hb::win32
