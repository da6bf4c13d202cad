#pragma once
// Files and folders. Paths use "\" as separator, as the core builds them;
// an implementation on another platform maps them. Contents are bytes.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace hb {

struct FolderEntry {
    std::wstring name;
    bool isFolder = false;
    bool isHiddenOrSystem = false;
    bool isLink = false;  // a symbolic link, junction or other reparse point
};

struct FolderListing {
    enum class Status { Ok, NotFound, Failed };
    Status status = Status::Ok;
    std::wstring error;  // the system's description when Failed
    std::vector<FolderEntry> entries;  // in the order the system reports them
};

// Which folder a path leads to, however it was reached: the volume and the
// file's index on it (on Windows the volume serial number and file ID; under
// Wine and on POSIX systems the device and inode). Two paths with the same
// identity are one folder.
struct FolderIdentity {
    std::uint64_t volume = 0;
    std::uint64_t indexHigh = 0;
    std::uint64_t indexLow = 0;
    auto operator<=>(const FolderIdentity&) const = default;
};

// Last-write time in 100 ns units since 1601-01-01 UTC (a FILETIME).
using FileTime = std::int64_t;

// What a file looks like from outside: its last-write time and size. A
// writer that is not done yet changes one or the other.
struct FileStamp {
    FileTime time = 0;
    std::uint64_t size = 0;
    bool operator==(const FileStamp&) const = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // One listing of every name in the folder ("." and ".." excluded).
    virtual FolderListing list(const std::wstring& folder) = 0;
    virtual std::optional<std::string> readAll(const std::wstring& path, std::wstring& error) = 0;
    // Creates or replaces the file with exactly these bytes.
    virtual bool writeAll(const std::wstring& path, const std::string& bytes, std::wstring& error) = 0;
    // Writes a temporary file beside the target, flushes it and puts it in
    // the target's place in one step, so a crash leaves the old or the new file.
    virtual bool replaceAtomically(const std::wstring& path, const std::string& bytes,
                                   std::wstring& error) = 0;
    virtual std::optional<FileTime> lastWriteTime(const std::wstring& path, std::wstring& error) = 0;
    virtual bool folderExists(const std::wstring& path) = 0;
    virtual bool pathExists(const std::wstring& path) = 0;
    virtual bool createFolder(const std::wstring& path, std::wstring& error) = 0;
    // Whether a new file can be made in the folder. Tried, not worked out
    // from permissions: on Windows too many rules decide it.
    virtual bool folderWritable(const std::wstring& folder) = 0;
    // Adds the bytes at the end of the file, which is made if missing.
    virtual bool appendToFile(const std::wstring& path, const std::string& bytes, std::wstring& error) = 0;
    // The file's size in bytes; nothing when there is no such file.
    virtual std::optional<std::uint64_t> fileSize(const std::wstring& path) = 0;
    // The file's last-write time and size; a system that reads both in one
    // look overrides this.
    virtual std::optional<FileStamp> fileStamp(const std::wstring& path, std::wstring& error) {
        const std::optional<FileTime> time = lastWriteTime(path, error);
        if (!time) return std::nullopt;
        const std::optional<std::uint64_t> size = fileSize(path);
        if (!size) {
            error = L"The file is gone";
            return std::nullopt;
        }
        return FileStamp{*time, *size};
    }
    // The folder's location with every link resolved, to tell whether a link
    // leads somewhere already walked; nothing when it cannot be resolved.
    virtual std::optional<std::wstring> resolvedPath(const std::wstring& path) {
        (void)path;
        return std::nullopt;
    }
    // The root folders of the fixed drives (C:\, D:\ ...), where a game
    // installed by hand is looked for; none where the system has no drives.
    virtual std::vector<std::wstring> fixedDriveRoots() { return {}; }
    // The identity of the folder the path leads to (links followed); nothing
    // when it cannot be opened or the system cannot tell.
    virtual std::optional<FolderIdentity> folderIdentity(const std::wstring& path) {
        (void)path;
        return std::nullopt;
    }
};

}  // namespace hb
