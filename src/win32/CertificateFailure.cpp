#include "win32/CertificateFailure.h"

#include <winhttp.h>


namespace hb::win32 {

bool IsSecureFailure(DWORD error) {
    switch (error) {
        case ERROR_WINHTTP_SECURE_FAILURE:
        case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
        case ERROR_WINHTTP_SECURE_INVALID_CA:
        case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
        case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
        case ERROR_WINHTTP_SECURE_CERT_REVOKED:
        case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
        case ERROR_WINHTTP_SECURE_INVALID_CERT:
        case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
            return true;
        default:
            return false;
    }
}

DWORD CertificateProblemsOf(DWORD error) {
    switch (error) {
        case ERROR_WINHTTP_SECURE_INVALID_CA:
            return WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA;
        case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
            return WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID;
        case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
            return WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID;
        case ERROR_WINHTTP_SECURE_CERT_REVOKED:
            return WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED;
        case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
            return WINHTTP_CALLBACK_STATUS_FLAG_CERT_REV_FAILED;
        case ERROR_WINHTTP_SECURE_INVALID_CERT:
            return WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CERT;
        case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
            return WINHTTP_CALLBACK_STATUS_FLAG_CERT_WRONG_USAGE;
        default:
            return 0;
    }
}

std::wstring SecureFailureText(DWORD problems, const std::wstring& host) {
    const struct {
        DWORD flag;
        std::wstring reason;
    } reasons[] = {
        {WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CA, L"it was not issued by an authority this computer trusts"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_CN_INVALID, L"it was issued for another name than " + host},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_DATE_INVALID, L"it has expired or is not valid yet"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_REVOKED, L"it has been revoked"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_REV_FAILED, L"whether it has been revoked could not be checked"},
        {WINHTTP_CALLBACK_STATUS_FLAG_CERT_WRONG_USAGE, L"it is not meant for a website"},
        {WINHTTP_CALLBACK_STATUS_FLAG_INVALID_CERT, L"it is not a valid certificate"},
    };
    std::wstring text;
    for (const auto& [flag, reason] : reasons) {
        if (!(problems & flag)) continue;
        text += text.empty() ? L"The website's certificate is not trusted: " : L", and ";
        text += reason;
    }
    if (text.empty()) return L"A secure connection with the website could not be made; nothing was sent.";
    return text + L"; nothing was sent.";
}

}  // namespace hb::win32
