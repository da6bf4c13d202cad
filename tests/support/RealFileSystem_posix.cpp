#include "posix/PosixFileSystem.h"
#include "support/TempFolder.h"

namespace hb::test {
std::unique_ptr<FileSystem> MakeRealFileSystem() { return std::make_unique<PosixFileSystem>(); }
}  // namespace hb::test
