#include "win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "win32/Handles.h"
#include "win32/LongPath.h"
#include "win32/Win32Process.h"

namespace hb::win32 {

namespace {

std::wstring LastErrorText() { return ErrorDescription(::GetLastError()); }

// ReadFile and WriteFile take 32-bit sizes; a whole file may be larger.
constexpr DWORD kMaxChunk = 1u << 30;

bool WriteFully(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kMaxChunk));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return false;
        done += written;
    }
    return true;
}

bool WriteNewFile(const std::wstring& path, const std::string& bytes, bool flush, std::wstring& error) {
    UniqueFile file(::CreateFileW(SystemPath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !WriteFully(file.get(), bytes) || (flush && !::FlushFileBuffers(file.get()))) {
        error = LastErrorText();
        return false;
    }
    return true;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Another program may hold a file open for a moment without letting it be
// replaced or deleted (an antivirus scan, the search indexer, a cloud sync):
// such a hold is waited out, a little at a time, for under a second in all.
constexpr DWORD kHoldWaitsMs[] = {50, 100, 150, 250, 400};

bool MayBeAShortHold(DWORD code) {
    return code == ERROR_SHARING_VIOLATION || code == ERROR_ACCESS_DENIED || code == ERROR_LOCK_VIOLATION;
}

bool IsReadOnlyFile(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(SystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool IsFolder(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(SystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring ReadOnlyText() { return ErrorDescription(ERROR_ACCESS_DENIED) + L" The file is read-only."; }

// Puts the written temporary file in the target's place; the error code, or
// ERROR_SUCCESS. A read-only target or a folder in its place refuses for good.
DWORD MoveIntoPlace(const std::wstring& temporary, const std::wstring& target) {
    for (std::size_t waited = 0;; ++waited) {
        if (::MoveFileExW(SystemPath(temporary).c_str(), SystemPath(target).c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return ERROR_SUCCESS;
        }
        DWORD code = ::GetLastError();
        if (!MayBeAShortHold(code) || waited == std::size(kHoldWaitsMs) || IsReadOnlyFile(target) ||
            IsFolder(target)) {
            return code;
        }
        ::Sleep(kHoldWaitsMs[waited]);
    }
}

// A scanner may just as well hold the temporary file: it never stays behind.
void RemoveTemporary(const std::wstring& temporary) {
    for (std::size_t waited = 0;; ++waited) {
        if (::DeleteFileW(SystemPath(temporary).c_str())) return;
        DWORD code = ::GetLastError();
        if (!MayBeAShortHold(code) || waited == std::size(kHoldWaitsMs)) return;
        ::Sleep(kHoldWaitsMs[waited]);
    }
}

}  // namespace

FolderListing Win32FileSystem::list(const std::wstring& folder) {
    FolderListing listing;
    std::wstring pattern = folder;
    if (pattern.empty() || !IsSeparator(pattern.back())) pattern += L'\\';
    pattern += L'*';

    WIN32_FIND_DATAW data;
    // Basic information skips the short 8.3 names, and the large fetch asks
    // for many entries per call: the walk lists every folder every 5 s.
    UniqueFindHandle find(::FindFirstFileExW(SystemPath(pattern).c_str(), FindExInfoBasic, &data,
                                             FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        DWORD code = ::GetLastError();
        if (code == ERROR_FILE_NOT_FOUND && folderExists(folder)) return listing;  // no entry at all
        bool missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND || code == ERROR_DIRECTORY ||
                       code == ERROR_INVALID_NAME || code == ERROR_BAD_NETPATH || code == ERROR_BAD_PATHNAME;
        listing.status = missing ? FolderListing::Status::NotFound : FolderListing::Status::Failed;
        listing.error = ErrorDescription(code);
        return listing;
    }
    do {
        std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        FolderEntry entry;
        entry.name = std::move(name);
        entry.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.isHiddenOrSystem = (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
        // Only symbolic links and junctions lead elsewhere; other reparse
        // points (cloud placeholders, deduplicated files) are ordinary entries.
        // Wine marks a Unix symbolic link as a reparse point without a tag.
        entry.isLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
                       (IsReparseTagNameSurrogate(data.dwReserved0) || data.dwReserved0 == 0);
        listing.entries.push_back(std::move(entry));
    } while (::FindNextFileW(find.get(), &data));
    DWORD code = ::GetLastError();
    if (code != ERROR_NO_MORE_FILES) {
        listing.status = FolderListing::Status::Failed;
        listing.error = ErrorDescription(code);
    }
    return listing;
}

std::optional<std::string> Win32FileSystem::readAll(const std::wstring& path, std::wstring& error) {
    // The game may hold the file open while we read it.
    UniqueFile file(::CreateFileW(SystemPath(path).c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        error = LastErrorText();
        return std::nullopt;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size)) {
        error = LastErrorText();
        return std::nullopt;
    }
    std::string bytes;
    // One byte more than the size, so a file that grew meanwhile is noticed
    // and read to its end.
    std::size_t expected = static_cast<std::size_t>(size.QuadPart);
    // Room for a final line end too, which a reader of text may add in place.
    bytes.reserve(expected + 2);
    bytes.resize(expected + 1);
    std::size_t done = 0;
    for (;;) {
        if (done == bytes.size()) bytes.resize(bytes.size() + (1u << 16));
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kMaxChunk));
        DWORD read = 0;
        if (!::ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr)) {
            error = LastErrorText();
            return std::nullopt;
        }
        if (read == 0) break;
        done += read;
    }
    bytes.resize(done);
    return bytes;
}

bool Win32FileSystem::writeAll(const std::wstring& path, const std::string& bytes, std::wstring& error) {
    return WriteNewFile(path, bytes, false, error);
}

bool Win32FileSystem::replaceAtomically(const std::wstring& path, const std::string& bytes, std::wstring& error) {
    // Windows refuses to replace a read-only file (Wine does not): it stays
    // as the user or another program made it, on both, and the error says why.
    if (IsReadOnlyFile(path)) {
        error = ReadOnlyText();
        return false;
    }
    std::wstring temporary = path + L".tmp";
    if (!WriteNewFile(temporary, bytes, true, error)) {
        RemoveTemporary(temporary);
        return false;
    }
    if (DWORD code = MoveIntoPlace(temporary, path); code != ERROR_SUCCESS) {
        error = code == ERROR_ACCESS_DENIED && IsReadOnlyFile(path) ? ReadOnlyText() : ErrorDescription(code);
        RemoveTemporary(temporary);
        return false;
    }
    return true;
}

std::optional<FileTime> Win32FileSystem::lastWriteTime(const std::wstring& path, std::wstring& error) {
    const std::optional<FileStamp> stamp = fileStamp(path, error);
    if (!stamp) return std::nullopt;
    return stamp->time;
}

bool Win32FileSystem::folderExists(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(SystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32FileSystem::pathExists(const std::wstring& path) {
    return ::GetFileAttributesW(SystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool Win32FileSystem::createFolder(const std::wstring& path, std::wstring& error) {
    if (!::CreateDirectoryW(SystemPath(path).c_str(), nullptr)) {
        error = LastErrorText();
        return false;
    }
    return true;
}

bool Win32FileSystem::folderWritable(const std::wstring& folder) {
    // A file of a name no one else uses, gone again when its handle closes.
    // Under Program Files without administrator rights this is refused (the
    // manifest turns Windows' redirection into the VirtualStore off).
    const std::wstring probe = folder + L"\\HoardbookUploader-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                               std::to_wstring(::GetTickCount64()) + L".tmp";
    UniqueFile file(::CreateFileW(SystemPath(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return static_cast<bool>(file);
}

bool Win32FileSystem::appendToFile(const std::wstring& path, const std::string& bytes, std::wstring& error) {
    // Opened and closed for each append, so no handle is held that keeps a
    // player from opening, copying or deleting the file meanwhile.
    UniqueFile file(::CreateFileW(SystemPath(path).c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !WriteFully(file.get(), bytes)) {
        error = LastErrorText();
        return false;
    }
    return true;
}

std::optional<std::uint64_t> Win32FileSystem::fileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

std::optional<FileStamp> Win32FileSystem::fileStamp(const std::wstring& path, std::wstring& error) {
    // One look, no handle: the watcher takes this of every entry at each tick.
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(SystemPath(path).c_str(), GetFileExInfoStandard, &data)) {
        error = LastErrorText();
        return std::nullopt;
    }
    ULARGE_INTEGER time;
    time.LowPart = data.ftLastWriteTime.dwLowDateTime;
    time.HighPart = data.ftLastWriteTime.dwHighDateTime;
    return FileStamp{static_cast<FileTime>(time.QuadPart), (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow};
}

std::optional<FolderIdentity> Win32FileSystem::folderIdentity(const std::wstring& path) {
    // As in resolvedPath: every link followed to the folder itself.
    UniqueFile handle(::CreateFileW(SystemPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return std::nullopt;
    // The 128-bit file ID: ReFS's 64-bit index is not unique on a volume.
    FILE_ID_INFO id{};
    if (::GetFileInformationByHandleEx(handle.get(), FileIdInfo, &id, sizeof id)) {
        std::uint64_t halves[2];
        static_assert(sizeof halves == sizeof id.FileId.Identifier);
        std::memcpy(halves, id.FileId.Identifier, sizeof halves);
        return FolderIdentity{id.VolumeSerialNumber, halves[1], halves[0]};
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle.get(), &information)) return std::nullopt;
    return FolderIdentity{information.dwVolumeSerialNumber, 0,
                          (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

std::optional<std::wstring> Win32FileSystem::resolvedPath(const std::wstring& path) {
    // Opening without access rights follows every link to the final folder;
    // backup semantics are what allow opening a folder at all.
    UniqueFile handle(::CreateFileW(SystemPath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!handle) return std::nullopt;
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = ::GetFinalPathNameByHandleW(handle.get(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return std::nullopt;
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(length + 1);
    }
}

std::vector<std::wstring> Win32FileSystem::fixedDriveRoots() {
    std::vector<std::wstring> roots;
    const DWORD drives = ::GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if ((drives & (1u << letter)) == 0) continue;
        std::wstring root{static_cast<wchar_t>(L'A' + letter), L':', L'\\'};
        if (::GetDriveTypeW(root.c_str()) == DRIVE_FIXED) roots.push_back(root);
    }
    return roots;
}

}  // namespace hb::win32
