#include "support/TempFolder.h"
#include "win32/Win32FileSystem.h"

namespace hb::test {
std::unique_ptr<FileSystem> MakeRealFileSystem() { return std::make_unique<win32::Win32FileSystem>(); }
}  // namespace hb::test
