#pragma once
// The file-system port on POSIX systems, for the native tests and
// benchmarks. Accepts "\" as a separator (the core's) and maps it to "/".

#include "ports/FileSystem.h"

namespace hb {

class PosixFileSystem : public FileSystem {
public:
    FolderListing list(const std::wstring& folder) override;
    std::optional<std::string> readAll(const std::wstring& path, std::wstring& error) override;
    bool writeAll(const std::wstring& path, const std::string& bytes, std::wstring& error) override;
    bool replaceAtomically(const std::wstring& path, const std::string& bytes, std::wstring& error) override;
    std::optional<FileTime> lastWriteTime(const std::wstring& path, std::wstring& error) override;
    bool folderExists(const std::wstring& path) override;
    bool pathExists(const std::wstring& path) override;
    bool createFolder(const std::wstring& path, std::wstring& error) override;
    bool folderWritable(const std::wstring& folder) override;
    bool appendToFile(const std::wstring& path, const std::string& bytes, std::wstring& error) override;
    std::optional<std::uint64_t> fileSize(const std::wstring& path) override;
    std::optional<std::wstring> resolvedPath(const std::wstring& path) override;
    std::optional<FolderIdentity> folderIdentity(const std::wstring& path) override;
};

// UTF-8 file-system path for a core path.
std::string NativePath(const std::wstring& path);

}  // namespace hb
