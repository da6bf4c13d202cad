#include "updater/AddonFolder.h"

#include "updater/AddonPaths.h"

namespace hb {

bool EnsureFolder(FileSystem& files, const std::wstring& folder, std::wstring& error) {
    if (!files.pathExists(folder)) return files.createFolder(folder, error);
    if (files.folderExists(folder)) return true;
    error = L"a file of that name is in the way";
    return false;
}

bool EnsureFoldersFor(FileSystem& files, const std::wstring& addonFolder, const std::wstring& name,
                      std::wstring& error) {
    for (std::size_t end = name.find_first_of(L"\\/"); end != std::wstring::npos;
         end = name.find_first_of(L"\\/", end + 1)) {
        std::wstring part = name.substr(0, end);
        for (wchar_t& c : part) {
            if (c == L'/') c = L'\\';
        }
        if (!EnsureFolder(files, JoinPath(addonFolder, part), error)) return false;
    }
    return true;
}

}  // namespace hb
