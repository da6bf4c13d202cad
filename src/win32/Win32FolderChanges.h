#pragma once
// Change notifications on Windows: FindFirstChangeNotificationW over the
// whole tree, for file and folder names (Wine maps it to inotify).

#include "ports/FolderChanges.h"

namespace hb::win32 {

class Win32FolderChanges : public FolderChanges {
public:
    std::unique_ptr<TreeWatch> watchTree(const std::wstring& folder) override;
};

}  // namespace hb::win32
