#pragma once
// Passes every call to a real file system, counting the folder listings,
// the atomic replacements and the appends per file name, and failing the
// listings, reads, writes and write probes of the names it is told to fail.

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "ports/FileSystem.h"

namespace hb::test {

class CountingFileSystem : public FileSystem {
public:
    explicit CountingFileSystem(std::unique_ptr<FileSystem> real) : real_(std::move(real)) {}

    FolderListing list(const std::wstring& folder) override {
        ++listings;
        if (onList) onList();
        ++listingsByName[nameOf(folder)];
        FolderListing listing = real_->list(folder);
        if (unreadableFolders.count(nameOf(folder)) != 0) {
            listing.status = FolderListing::Status::Failed;
            listing.error = L"Access is denied.";
            listing.entries.clear();
        }
        return listing;
    }
    // Called at each listing: a slow disk, say.
    std::function<void()> onList;

    std::optional<std::string> readAll(const std::wstring& path, std::wstring& error) override {
        ++reads[nameOf(path)];
        if (lockedFiles.count(nameOf(path)) != 0) {
            error = L"The process cannot access the file because it is being used by another process.";
            return std::nullopt;
        }
        auto bytes = real_->readAll(path, error);
        if (afterRead) afterRead(path);
        return bytes;
    }
    bool writeAll(const std::wstring& path, const std::string& bytes, std::wstring& error) override {
        ++plainWrites;
        return real_->writeAll(path, bytes, error);
    }
    bool replaceAtomically(const std::wstring& path, const std::string& bytes, std::wstring& error) override {
        const std::wstring name = nameOf(path);
        ++replacements[name];
        if (failing.count(name) != 0) {
            error = L"The disk is full.";
            return false;
        }
        return real_->replaceAtomically(path, bytes, error);
    }
    std::optional<FileTime> lastWriteTime(const std::wstring& path, std::wstring& error) override {
        return real_->lastWriteTime(path, error);
    }
    bool folderExists(const std::wstring& path) override { return real_->folderExists(path); }
    bool pathExists(const std::wstring& path) override { return real_->pathExists(path); }
    bool createFolder(const std::wstring& path, std::wstring& error) override {
        return real_->createFolder(path, error);
    }
    bool folderWritable(const std::wstring& folder) override {
        return lockedFolders.count(nameOf(folder)) == 0 && real_->folderWritable(folder);
    }
    bool appendToFile(const std::wstring& path, const std::string& bytes, std::wstring& error) override {
        const std::wstring name = nameOf(path);
        ++appends[name];
        if (failing.count(name) != 0) {
            error = L"The disk is full.";
            return false;
        }
        return real_->appendToFile(path, bytes, error);
    }
    std::optional<std::uint64_t> fileSize(const std::wstring& path) override { return real_->fileSize(path); }
    // Each system's own: the Win32 one reads time and size in one look.
    std::optional<FileStamp> fileStamp(const std::wstring& path, std::wstring& error) override {
        return real_->fileStamp(path, error);
    }
    std::vector<std::wstring> fixedDriveRoots() override { return real_->fixedDriveRoots(); }
    std::optional<std::wstring> resolvedPath(const std::wstring& path) override { return real_->resolvedPath(path); }
    std::optional<FolderIdentity> folderIdentity(const std::wstring& path) override {
        return real_->folderIdentity(path);
    }

    int listings = 0;
    std::map<std::wstring, int> listingsByName;  // by the folder's last name
    std::map<std::wstring, int> reads;        // by file name
    std::set<std::wstring> lockedFiles;       // file names whose content cannot be read (their stamp can)
    std::set<std::wstring> unreadableFolders;  // folder names whose listing fails
    std::map<std::wstring, int> replacements;  // by file name
    std::set<std::wstring> failing;            // file names whose replacement or append fails
    std::map<std::wstring, int> appends;       // by file name
    std::set<std::wstring> lockedFolders;      // folder names that cannot be written
    int plainWrites = 0;
    std::function<void(const std::wstring& path)> afterRead;  // as a writer busy meanwhile would

private:
    static std::wstring nameOf(const std::wstring& path) {
        auto cut = path.find_last_of(L"\\/");
        return cut == std::wstring::npos ? path : path.substr(cut + 1);
    }
    std::unique_ptr<FileSystem> real_;
};

}  // namespace hb::test
