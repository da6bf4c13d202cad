#include "win32/Win32FolderChanges.h"

#include <windows.h>

#include <optional>

#include "win32/Handles.h"

namespace hb::win32 {

namespace {

// Which folder a path names: volume and file index. The watch keeps its
// folder open, so while it lives no other folder can be given the same
// index: a folder renamed away and another put in its place, or one deleted
// (then it cannot be opened at all), shows as a different identity.
struct FolderIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const FolderIdentity&) const = default;
};

UniqueFile OpenFolder(const std::wstring& folder) {
    // No access rights are needed to ask for the identity; backup semantics
    // are what allow opening a folder at all. Sharing everything, so the
    // folder can still be renamed or deleted by anyone.
    return UniqueFile(::CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

std::optional<FolderIdentity> IdentityOf(const UniqueFile& handle) {
    BY_HANDLE_FILE_INFORMATION information;
    if (!handle || !::GetFileInformationByHandle(handle.get(), &information)) return std::nullopt;
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return std::nullopt;
    return FolderIdentity{information.dwVolumeSerialNumber, information.nFileIndexHigh, information.nFileIndexLow};
}

class Win32TreeWatch : public TreeWatch {
public:
    Win32TreeWatch(std::wstring path, UniqueFile folder, FolderIdentity identity,
                   UniqueChangeNotification notification)
        : path_(std::move(path)),
          folder_(std::move(folder)),
          identity_(identity),
          notification_(std::move(notification)) {}

    TreeState poll() override {
        if (!notification_) return TreeState::Lost;
        switch (::WaitForSingleObject(notification_.get(), 0)) {
            case WAIT_TIMEOUT:
                // Quiet; but a folder replaced, or deleted and waiting for
                // its last handle (ours) to go, says nothing any more.
                if (IdentityOf(OpenFolder(path_)) != identity_) return lose();
                return TreeState::Unchanged;
            case WAIT_OBJECT_0:
                // Re-armed before the caller looks, so a change during its
                // walk signals again; the system keeps changes made between
                // the signal and the re-arming for the next wait.
                if (!::FindNextChangeNotification(notification_.get())) return lose();
                return TreeState::Changed;
            default:
                return lose();
        }
    }

private:
    // Closes the handles at once: a folder being deleted goes only when the
    // last handle to it is closed.
    TreeState lose() {
        notification_.reset();
        folder_.reset();
        return TreeState::Lost;
    }

    std::wstring path_;
    UniqueFile folder_;  // pins the identity for the life of the watch
    FolderIdentity identity_;
    UniqueChangeNotification notification_;
};

}  // namespace

std::unique_ptr<TreeWatch> Win32FolderChanges::watchTree(const std::wstring& folder) {
    // The folder is held before the notification is set up: a folder
    // replaced in between shows as a replaced folder at the first look.
    UniqueFile held = OpenFolder(folder);
    std::optional<FolderIdentity> identity = IdentityOf(held);
    if (!identity) return nullptr;
    HANDLE notification = ::FindFirstChangeNotificationW(
        folder.c_str(), TRUE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME);
    if (notification == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32TreeWatch>(folder, std::move(held), *identity,
                                            UniqueChangeNotification(notification));
}

}  // namespace hb::win32
