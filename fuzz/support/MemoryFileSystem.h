#pragma once
// Files in memory, for targets that drive the core through its file
// system: fast enough for a fuzzer's hundred thousand runs, and it counts
// the writes to each file.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "ports/FileSystem.h"

namespace hb::fuzz {

class MemoryFileSystem : public FileSystem {
public:
    FolderListing list(const std::wstring&) override { return {FolderListing::Status::NotFound, {}, {}}; }
    std::optional<std::string> readAll(const std::wstring& path, std::wstring& error) override {
        auto found = files.find(path);
        if (found == files.end()) {
            error = L"The system cannot find the file specified.";
            return std::nullopt;
        }
        return found->second;
    }
    bool writeAll(const std::wstring& path, const std::string& bytes, std::wstring&) override {
        files[path] = bytes;
        ++writes[path];
        writeOrder.push_back(path);
        return true;
    }
    bool replaceAtomically(const std::wstring& path, const std::string& bytes, std::wstring& error) override {
        return writeAll(path, bytes, error);
    }
    std::optional<FileTime> lastWriteTime(const std::wstring& path, std::wstring&) override {
        return files.count(path) != 0 ? std::optional<FileTime>(1) : std::nullopt;
    }
    bool folderExists(const std::wstring& path) override { return folders.count(path) != 0; }
    bool pathExists(const std::wstring& path) override { return folderExists(path) || files.count(path) != 0; }
    bool createFolder(const std::wstring& path, std::wstring&) override {
        folders.insert(path);
        return true;
    }
    bool folderWritable(const std::wstring&) override { return true; }
    bool appendToFile(const std::wstring& path, const std::string& bytes, std::wstring&) override {
        files[path] += bytes;
        ++writes[path];
        writeOrder.push_back(path);
        return true;
    }
    std::optional<std::uint64_t> fileSize(const std::wstring& path) override {
        auto found = files.find(path);
        if (found == files.end()) return std::nullopt;
        return found->second.size();
    }

    std::map<std::wstring, std::string> files;
    std::set<std::wstring> folders;
    std::map<std::wstring, int> writes;
    std::vector<std::wstring> writeOrder;
};

}  // namespace hb::fuzz
