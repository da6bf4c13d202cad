#include "win32/ComError.h"

#include <oleauto.h>

#include <cwchar>

#include "win32/ComPtr.h"
#include "win32/ComTypes.h"

namespace hb::win32 {

namespace {

std::wstring Trimmed(std::wstring text) {
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    return text.empty() ? text : text + L".";
}

std::wstring FromModule(DWORD flags, const void* module, DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD length = ::FormatMessageW(flags | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS, module,
                                    code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length != 0 ? std::wstring(buffer, length) : std::wstring();
    if (buffer != nullptr) ::LocalFree(buffer);
    return Trimmed(text);
}

}  // namespace

std::wstring SystemErrorDescription(DWORD code) {
    std::wstring text = FromModule(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code);
    // Internet errors live in the message tables of the internet modules.
    for (const wchar_t* name : {L"wininet.dll", L"winhttp.dll", L"urlmon.dll", L"msxml6.dll", L"msxml3.dll"}) {
        if (!text.empty()) break;
        if (HMODULE module = ::GetModuleHandleW(name)) text = FromModule(FORMAT_MESSAGE_FROM_HMODULE, module, code);
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
