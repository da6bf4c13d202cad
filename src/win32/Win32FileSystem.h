#pragma once
// The file-system port on Windows, through the wide-character APIs. Paths
// are the core's own ("\" separators) and go to the system unchanged, in
// the extended-length form when they are too long for the plain one.

#include "ports/FileSystem.h"

namespace hb::win32 {

class Win32FileSystem : public FileSystem {
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
    std::optional<FileStamp> fileStamp(const std::wstring& path, std::wstring& error) override;
    std::optional<std::wstring> resolvedPath(const std::wstring& path) override;
    std::optional<FolderIdentity> folderIdentity(const std::wstring& path) override;
    std::vector<std::wstring> fixedDriveRoots() override;
};

}  // namespace hb::win32
