#pragma once
// The HTTP port over MSXML's XMLHTTP object, created through COM.
// The thread must have COM started apartment-threaded (see ComInit).

#include <set>
#include <string>

#include "ports/Http.h"

namespace hb::win32 {

class Win32HttpFactory : public HttpFactory {
public:
    Win32HttpFactory() = default;
    // Class names listed here are treated as not installed, so tests can
    // stand for machines with fewer versions of the runtime.
    explicit Win32HttpFactory(std::set<std::wstring> refusedClassNames);

    std::unique_ptr<HttpRequest> create(const std::wstring& progId) override;

private:
    std::set<std::wstring> refused_;
};

}  // namespace hb::win32
