// The Win32 file system against a real temporary folder.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "support/TempFolder.h"
#include "win32/Handles.h"
#include "win32/Win32FileSystem.h"

namespace hb::test {
namespace {

class Win32FileSystemTest : public ::testing::Test {
protected:
    const FolderEntry* find(const FolderListing& listing, const std::wstring& name) {
        auto it = std::find_if(listing.entries.begin(), listing.entries.end(),
                               [&](const FolderEntry& entry) { return entry.name == name; });
        return it == listing.entries.end() ? nullptr : &*it;
    }

    TempFolder temp;
    win32::Win32FileSystem files;
};

TEST_F(Win32FileSystemTest, ListingReportsFilesFoldersAndTheHiddenAttribute) {
    temp.write("Account/Visible/file.txt", "x");
    temp.write("Account/Secret/Hoardbook.lua", "x");
    temp.write("Account/top.lua", "x");
    ASSERT_TRUE(::SetFileAttributesW(temp.corePath("Account/Secret").c_str(), FILE_ATTRIBUTE_HIDDEN));

    FolderListing listing = files.list(temp.corePath("Account"));
    ASSERT_EQ(listing.status, FolderListing::Status::Ok);
    ASSERT_EQ(listing.entries.size(), 3u);  // "." and ".." are not reported
    const FolderEntry* visible = find(listing, L"Visible");
    const FolderEntry* secret = find(listing, L"Secret");
    const FolderEntry* top = find(listing, L"top.lua");
    ASSERT_TRUE(visible && secret && top);
    EXPECT_TRUE(visible->isFolder);
    EXPECT_FALSE(visible->isHiddenOrSystem);
    EXPECT_TRUE(secret->isFolder);
    EXPECT_TRUE(secret->isHiddenOrSystem);
    EXPECT_FALSE(top->isFolder);
    EXPECT_FALSE(top->isLink);
}

TEST_F(Win32FileSystemTest, ListingTellsAMissingFolderFromAnEmptyOne) {
    std::filesystem::create_directories(temp.path() / "Empty");
    FolderListing empty = files.list(temp.corePath("Empty"));
    EXPECT_EQ(empty.status, FolderListing::Status::Ok);
    EXPECT_TRUE(empty.entries.empty());

    FolderListing missing = files.list(temp.corePath("Nowhere"));
    EXPECT_EQ(missing.status, FolderListing::Status::NotFound);
    EXPECT_TRUE(missing.entries.empty());
}

TEST_F(Win32FileSystemTest, ReadAllGivesTheBytesUnchanged) {
    std::string bytes("a\r\nb\rc\n\0\xE4\xFF", 10);
    temp.write("data.lua", bytes);
    std::wstring error;
    auto read = files.readAll(temp.corePath("data.lua"), error);
    ASSERT_TRUE(read.has_value()) << std::string(error.begin(), error.end());
    EXPECT_EQ(*read, bytes);

    auto empty = (temp.write("empty.lua", ""), files.readAll(temp.corePath("empty.lua"), error));
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->empty());

    error.clear();
    EXPECT_FALSE(files.readAll(temp.corePath("missing.lua"), error).has_value());
    EXPECT_FALSE(error.empty());
}

TEST_F(Win32FileSystemTest, ReadAllReadsAFileTheWriterStillHoldsOpen) {
    temp.write("open.lua", "still being written");
    // The game keeps its file open for writing while it runs.
    HANDLE handle = ::CreateFileW(temp.corePath("open.lua").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    std::wstring error;
    auto read = files.readAll(temp.corePath("open.lua"), error);
    ::CloseHandle(handle);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, "still being written");
}

TEST_F(Win32FileSystemTest, ReplaceAtomicallyReplacesAndLeavesNoTemporaryFile) {
    temp.write("settings.txt", "old contents that are longer");
    std::wstring error;
    ASSERT_TRUE(files.replaceAtomically(temp.corePath("settings.txt"), "new", error));
    EXPECT_EQ(temp.read("settings.txt"), "new");
    EXPECT_FALSE(temp.exists("settings.txt.tmp"));

    ASSERT_TRUE(files.replaceAtomically(temp.corePath("fresh.txt"), "created", error));
    EXPECT_EQ(temp.read("fresh.txt"), "created");

    error.clear();
    EXPECT_FALSE(files.replaceAtomically(temp.corePath("NoFolder/x.txt"), "x", error));
    EXPECT_FALSE(error.empty());
}

// Another program (an antivirus scan, the search indexer, a cloud sync)
// holding the target open for a moment without FILE_SHARE_DELETE, which
// keeps it from being replaced until the handle closes.
class HeldOpen {
public:
    explicit HeldOpen(const std::wstring& path)
        : handle_(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldOpen() {
        if (releaser_.joinable()) releaser_.join();
    }
    bool held() const { return static_cast<bool>(handle_); }
    // Lets go from another thread after a while, as the other program would.
    void releaseAfter(std::chrono::milliseconds hold) {
        releaser_ = std::thread([this, hold] {
            std::this_thread::sleep_for(hold);
            handle_.reset();
        });
    }
    void release() { handle_.reset(); }

private:
    win32::UniqueFile handle_;
    std::thread releaser_;
};

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + i % 23);
    return bytes;
}

TEST_F(Win32FileSystemTest, ReplaceAtomicallyWaitsOutAShortHoldOnTheTarget) {
    temp.write("settings.txt", "old settings");
    HeldOpen scanner(temp.corePath("settings.txt"));
    ASSERT_TRUE(scanner.held());
    scanner.releaseAfter(std::chrono::milliseconds(150));

    const std::string bytes = Pattern(256 * 1024);
    std::wstring error;
    EXPECT_TRUE(files.replaceAtomically(temp.corePath("settings.txt"), bytes, error))
        << std::string(error.begin(), error.end());
    const std::string written = temp.read("settings.txt");
    EXPECT_EQ(written.size(), bytes.size());
    EXPECT_TRUE(written == bytes) << "the new bytes, whole";
    EXPECT_FALSE(temp.exists("settings.txt.tmp"));
}

TEST_F(Win32FileSystemTest, ReplaceAtomicallyGivesUpOnALongHoldAndKeepsTheOldFile) {
    temp.write("noupload.txt", "old line\r\n");
    HeldOpen sync(temp.corePath("noupload.txt"));
    ASSERT_TRUE(sync.held());

    const auto start = std::chrono::steady_clock::now();
    std::wstring error;
    EXPECT_FALSE(files.replaceAtomically(temp.corePath("noupload.txt"), Pattern(4096), error));
    const auto took = std::chrono::steady_clock::now() - start;
    sync.release();
    EXPECT_FALSE(error.empty());
    EXPECT_LT(took, std::chrono::seconds(3)) << "the wait is bounded: the window does not answer meanwhile";
    EXPECT_EQ(temp.read("noupload.txt"), "old line\r\n");
    EXPECT_FALSE(temp.exists("noupload.txt.tmp"));
}

TEST_F(Win32FileSystemTest, ReplaceAtomicallyRefusesAReadOnlyFileAndSaysWhy) {
    temp.write("settings.txt", "kept as the user made it");
    const std::wstring path = temp.corePath("settings.txt");
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));

    std::wstring error;
    EXPECT_FALSE(files.replaceAtomically(path, "new", error));
    EXPECT_NE(error.find(L"read-only"), std::wstring::npos) << std::string(error.begin(), error.end());
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(temp.read("settings.txt"), "kept as the user made it");
    EXPECT_FALSE(temp.exists("settings.txt.tmp"));
}

TEST_F(Win32FileSystemTest, WriteAllTruncatesAnExistingFile) {
    temp.write("noupload.txt", "a much longer old text");
    std::wstring error;
    ASSERT_TRUE(files.writeAll(temp.corePath("noupload.txt"), "short", error));
    EXPECT_EQ(temp.read("noupload.txt"), "short");
}

TEST_F(Win32FileSystemTest, LastWriteTimeIsTheFullFileTime) {
    temp.write("stamp.lua", "x");
    std::wstring path = temp.corePath("stamp.lua");
    HANDLE handle = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    // A time with sub-second digits: a rewrite within one second must differ.
    const std::int64_t stamp = 133000000001234567LL;
    FILETIME time{static_cast<DWORD>(stamp & 0xFFFFFFFF), static_cast<DWORD>(stamp >> 32)};
    ASSERT_TRUE(::SetFileTime(handle, nullptr, nullptr, &time));
    ::CloseHandle(handle);

    std::wstring error;
    auto read = files.lastWriteTime(path, error);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(*read, stamp);
    EXPECT_FALSE(files.lastWriteTime(temp.corePath("missing.lua"), error).has_value());
}

TEST_F(Win32FileSystemTest, FoldersAreTestedAndCreated) {
    temp.write("file.txt", "x");
    EXPECT_TRUE(files.folderExists(temp.corePath()));
    EXPECT_FALSE(files.folderExists(temp.corePath("file.txt")));
    EXPECT_TRUE(files.pathExists(temp.corePath("file.txt")));
    EXPECT_FALSE(files.pathExists(temp.corePath("nothing")));

    std::wstring error;
    ASSERT_TRUE(files.createFolder(temp.corePath("New"), error));
    EXPECT_TRUE(files.folderExists(temp.corePath("New")));
    EXPECT_FALSE(files.createFolder(temp.corePath("Missing\\Deeper"), error));
}

TEST_F(Win32FileSystemTest, AppendAddsAtTheEndAndMakesAMissingFileWhileAReaderHoldsItOpen) {
    const std::wstring path = temp.corePath("HoardbookUploader.log");
    std::wstring error;
    EXPECT_FALSE(files.fileSize(path).has_value());
    ASSERT_TRUE(files.appendToFile(path, "first\r\n", error)) << error;
    // An editor or a copy holding the file open does not stop the next entry.
    win32::UniqueFile reader(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    ASSERT_TRUE(files.appendToFile(path, "second\r\n", error)) << error;
    EXPECT_EQ(temp.read("HoardbookUploader.log"), "first\r\nsecond\r\n");
    EXPECT_EQ(files.fileSize(path), std::optional<std::uint64_t>(15));
    EXPECT_FALSE(files.fileSize(temp.corePath()).has_value()) << "a folder has no file size";
    EXPECT_FALSE(files.appendToFile(temp.corePath("Missing\\x.log"), "x", error));
    EXPECT_FALSE(error.empty());
}

TEST_F(Win32FileSystemTest, AFolderIsWritableWhenAFileCanBeMadeThereAndNothingIsLeftBehind) {
    EXPECT_TRUE(files.folderWritable(temp.corePath()));
    EXPECT_TRUE(std::filesystem::is_empty(temp.path())) << "the probe is gone again";
    EXPECT_FALSE(files.folderWritable(temp.corePath("Missing")));
}

TEST_F(Win32FileSystemTest, ResolvedPathIsTheSameForEveryWayOfNamingAFolder) {
    std::filesystem::create_directories(temp.path() / "Game" / "WTF");
    auto direct = files.resolvedPath(temp.corePath("Game\\WTF"));
    auto roundabout = files.resolvedPath(temp.corePath("Game\\WTF\\..\\WTF"));
    ASSERT_TRUE(direct.has_value());
    ASSERT_TRUE(roundabout.has_value());
    EXPECT_EQ(*direct, *roundabout);
    EXPECT_FALSE(files.resolvedPath(temp.corePath("Game\\Nothing")).has_value());
}

}  // namespace
}  // namespace hb::test

namespace hb::test {
namespace {

// Where a game installed by hand is looked for: the system drive is a fixed
// drive, and every root given is one that can be listed.
TEST(Win32FixedDrives, IncludeTheSystemDriveAndEachIsAFolder) {
    win32::Win32FileSystem files;
    const std::vector<std::wstring> roots = files.fixedDriveRoots();
    wchar_t windows[MAX_PATH] = {};
    ASSERT_GT(::GetWindowsDirectoryW(windows, MAX_PATH), 2u);
    const std::wstring systemRoot{windows[0], L':', L'\\'};
    EXPECT_NE(std::find(roots.begin(), roots.end(), systemRoot), roots.end());
    for (const std::wstring& root : roots) {
        EXPECT_EQ(root.size(), 3u);
        EXPECT_TRUE(files.folderExists(root)) << std::string(root.begin(), root.end());
    }
}

}  // namespace
}  // namespace hb::test
