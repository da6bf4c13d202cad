// TEMPORARY until the Win32 file system lands.
#include <stdexcept>
#include "support/TempFolder.h"
namespace hb::test {
std::unique_ptr<FileSystem> MakeRealFileSystem() { throw std::runtime_error("Win32 file system not built yet"); }
}  // namespace hb::test
