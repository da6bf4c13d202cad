#include "updater/UpdateTexts.h"

#include <cstddef>

namespace hb {

std::wstring Printable(const std::wstring& name) {
    constexpr std::size_t kMaxShown = 100;
    std::wstring text;
    for (wchar_t c : name.substr(0, kMaxShown)) text.push_back(c < 0x20 || c == 0x7F ? L'?' : c);
    if (name.size() > kMaxShown) text += L"...";
    return text;
}

std::wstring JoinNames(const std::vector<std::wstring>& names) {
    constexpr std::size_t kMaxNamed = 5;
    std::wstring text;
    for (std::size_t i = 0; i < names.size() && i < kMaxNamed; ++i) {
        if (!text.empty()) text += L", ";
        text += L"\"" + Printable(names[i]) + L"\"";
    }
    if (names.size() > kMaxNamed) text += L" and " + std::to_wstring(names.size() - kMaxNamed) + L" more";
    return text;
}

std::wstring FailureText(const DownloadResult& download, const std::wstring& whenEmpty) {
    return download.failure.empty() ? whenEmpty : L"could not be fetched: " + download.failure;
}

}  // namespace hb
