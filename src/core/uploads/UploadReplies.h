#pragma once
// The guild website's answers to an upload, compared as whole texts, exactly.

namespace hb {

inline constexpr const wchar_t* kReplyUploaded = L"Inventory Uploaded";
inline constexpr const wchar_t* kReplyInvalidLogin = L"Invalid Login/Password";

}  // namespace hb
