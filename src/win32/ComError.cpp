#include "win32/ComError.h"

#include <oleauto.h>

#include <cwchar>

#include "win32/ComPtr.h"
#include "win32/ComTypes.h"
#include "win32/ErrorText.h"

namespace hb::win32 {

namespace {

std::wstring Trimmed(std::wstring text) {
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    return text.empty() ? text : text + L".";
}

}  // namespace

std::wstring SystemErrorDescription(DWORD code) {
    std::wstring text = Trimmed(FormatMessageText(code));
    // Internet errors live in the message tables of the internet modules.
    for (const wchar_t* name : {L"wininet.dll", L"winhttp.dll", L"urlmon.dll", L"msxml6.dll", L"msxml3.dll"}) {
        if (!text.empty()) break;
        if (HMODULE module = ::GetModuleHandleW(name)) text = Trimmed(FormatMessageText(code, module));
    }
    if (text.empty()) {
        wchar_t number[32];
        std::swprintf(number, 32, L"Error 0x%08lX.", static_cast<unsigned long>(code));
        text = number;
    }
    return text;
}

std::wstring ComErrorDescription(HRESULT result, IUnknown* object, REFIID interfaceId) {
    ComPtr<ISupportErrorInfo> support;
    if (object != nullptr && SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, support.putVoid())) &&
        support->InterfaceSupportsErrorInfo(interfaceId) == S_OK) {
        ComPtr<IErrorInfo> info;
        Bstr description;
        if (::GetErrorInfo(0, info.put()) == S_OK && info && SUCCEEDED(info->GetDescription(description.put()))) {
            std::wstring text = Trimmed(description.text());
            if (!text.empty()) return text;
        }
    }
    return SystemErrorDescription(static_cast<DWORD>(result));
}

}  // namespace hb::win32
