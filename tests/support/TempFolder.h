#pragma once
// A real temporary folder, removed with everything in it at the end of the test.

#include <filesystem>
#include <memory>
#include <string>

#include "ports/FileSystem.h"

namespace hb::test {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The folder as the core writes paths (platform separators accepted).
    std::wstring corePath() const;
    std::wstring corePath(const std::filesystem::path& relative) const;
    // Creates parent folders as needed.
    void write(const std::filesystem::path& relative, const std::string& bytes) const;
    std::string read(const std::filesystem::path& relative) const;
    bool exists(const std::filesystem::path& relative) const;

private:
    std::filesystem::path path_;
};

// The platform's real file system (POSIX natively, Win32 under Wine).
std::unique_ptr<FileSystem> MakeRealFileSystem();

}  // namespace hb::test
