#include "posix/PosixFileSystem.h"

#include "base/Utf8.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace hb {

namespace {

std::wstring ErrorText(int error) { return FromUtf8(std::strerror(error)); }

// 100 ns units between 1601-01-01 and 1970-01-01.
constexpr FileTime kUnixEpochAsFileTime = 116444736000000000LL;

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0) close(fd);
    }
};

bool WriteFully(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string NativePath(const std::wstring& path) {
    std::string bytes = ToUtf8(path);
    std::replace(bytes.begin(), bytes.end(), '\\', '/');
    return bytes;
}

FolderListing PosixFileSystem::list(const std::wstring& folder) {
    FolderListing listing;
    std::string path = NativePath(folder);
    std::unique_ptr<DIR, DirCloser> dir(opendir(path.c_str()));
    if (!dir) {
        listing.status = (errno == ENOENT || errno == ENOTDIR) ? FolderListing::Status::NotFound
                                                               : FolderListing::Status::Failed;
        listing.error = ErrorText(errno);
        return listing;
    }
    int dirFd = dirfd(dir.get());
    while (dirent* entry = readdir(dir.get())) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        FolderEntry item;
        item.name = FromUtf8(name);
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN) {
            struct stat info {};
            if (fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
                type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISLNK(info.st_mode) ? DT_LNK : DT_REG;
            }
        }
        if (type == DT_LNK) {
            item.isLink = true;
            struct stat target {};
            item.isFolder = fstatat(dirFd, name.c_str(), &target, 0) == 0 && S_ISDIR(target.st_mode);
        } else {
            item.isFolder = type == DT_DIR;
        }
        listing.entries.push_back(std::move(item));
    }
    return listing;
}

std::optional<std::string> PosixFileSystem::readAll(const std::wstring& path, std::wstring& error) {
    FdCloser file{open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.fd < 0) {
        error = ErrorText(errno);
        return std::nullopt;
    }
    struct stat info {};
    std::string bytes;
    // Room for a final line end, which a reader of text may add in place.
    if (fstat(file.fd, &info) == 0 && info.st_size > 0) bytes.reserve(static_cast<std::size_t>(info.st_size) + 2);
    char buffer[1 << 16];
    for (;;) {
        ssize_t n = read(file.fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            error = ErrorText(errno);
            return std::nullopt;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    return bytes;
}

bool PosixFileSystem::writeAll(const std::wstring& path, const std::string& bytes, std::wstring& error) {
    FdCloser file{open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)};
    if (file.fd < 0 || !WriteFully(file.fd, bytes)) {
        error = ErrorText(errno);
        return false;
    }
    return true;
}

bool PosixFileSystem::replaceAtomically(const std::wstring& path, const std::string& bytes, std::wstring& error) {
    std::string target = NativePath(path);
    std::string temporary = target + ".tmp";
    {
        FdCloser file{open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644)};
        if (file.fd < 0 || !WriteFully(file.fd, bytes) || fsync(file.fd) != 0) {
            error = ErrorText(errno);
            if (file.fd >= 0) unlink(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = ErrorText(errno);
        unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::optional<FileTime> PosixFileSystem::lastWriteTime(const std::wstring& path, std::wstring& error) {
    struct stat info {};
    if (stat(NativePath(path).c_str(), &info) != 0) {
        error = ErrorText(errno);
        return std::nullopt;
    }
    return kUnixEpochAsFileTime + static_cast<FileTime>(info.st_mtim.tv_sec) * 10000000 +
           info.st_mtim.tv_nsec / 100;
}

bool PosixFileSystem::folderExists(const std::wstring& path) {
    struct stat info {};
    return stat(NativePath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool PosixFileSystem::pathExists(const std::wstring& path) {
    struct stat info {};
    return stat(NativePath(path).c_str(), &info) == 0;
}

bool PosixFileSystem::createFolder(const std::wstring& path, std::wstring& error) {
    if (mkdir(NativePath(path).c_str(), 0755) != 0) {
        error = ErrorText(errno);
        return false;
    }
    return true;
}

bool PosixFileSystem::folderWritable(const std::wstring& folder) {
    // Tried: the permission bits do not tell for root, nor for an immutable folder.
    std::string probe = NativePath(folder) + "/.write-probe-XXXXXX";
    int fd = mkstemp(probe.data());
    if (fd < 0) return false;
    close(fd);
    unlink(probe.c_str());
    return true;
}

bool PosixFileSystem::appendToFile(const std::wstring& path, const std::string& bytes, std::wstring& error) {
    FdCloser file{open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644)};
    if (file.fd < 0 || !WriteFully(file.fd, bytes)) {
        error = ErrorText(errno);
        return false;
    }
    return true;
}

std::optional<std::uint64_t> PosixFileSystem::fileSize(const std::wstring& path) {
    struct stat info {};
    if (stat(NativePath(path).c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

std::optional<std::wstring> PosixFileSystem::resolvedPath(const std::wstring& path) {
    std::unique_ptr<char, decltype(&std::free)> resolved(realpath(NativePath(path).c_str(), nullptr), &std::free);
    if (!resolved) return std::nullopt;
    return FromUtf8(resolved.get());
}

std::optional<FolderIdentity> PosixFileSystem::folderIdentity(const std::wstring& path) {
    struct stat info {};
    if (stat(NativePath(path).c_str(), &info) != 0) return std::nullopt;
    return FolderIdentity{static_cast<std::uint64_t>(info.st_dev), 0, static_cast<std::uint64_t>(info.st_ino)};
}

}  // namespace hb
