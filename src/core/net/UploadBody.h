#pragma once
// The upload's wire format: the multipart body the website parses.

#include <string>
#include <string_view>

namespace hb {

inline constexpr const wchar_t* kUploadContentType = L"multipart/form-data, boundary=AaB03x";
inline constexpr const wchar_t* kUploadPage = L"/memberbankupload.php";

// The whole request body. The login and password are form-encoded and sent
// as UTF-8; the saved data goes out byte for byte.
std::string BuildUploadBody(const std::wstring& login, const std::wstring& password, std::string_view data);

}  // namespace hb
