#pragma once
// What the Windows tests share with the Linux side that runs them: the
// environment tools/with-servers sets, and the host's files, which Wine
// shows on drive Z:.

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace hb::test {

inline std::wstring EnvironmentText(const wchar_t* name) {
    wchar_t value[1024];
    DWORD length = ::GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

// A Linux path as Wine sees it.
inline std::filesystem::path HostPath(std::wstring path) {
    for (wchar_t& c : path) {
        if (c == L'/') c = L'\\';
    }
    return path.empty() ? std::filesystem::path() : std::filesystem::path(L"Z:" + path);
}

inline std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "<missing " + path.string() + ">";
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

// How many requests the reference site has stored in its data folder: the
// servers live for the whole test program, so earlier tests' are there too.
inline int ReceivedCount(const std::filesystem::path& siteData) {
    int count = 0;
    while (std::filesystem::exists(siteData / "received" / std::to_string(count + 1) / "meta.json")) ++count;
    return count;
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace hb::test
