// TEMPORARY placeholders so the program links while the updater is built; delete when implemented.
#include "shell/Form1.h"
namespace hb {
void Form1::InitializeFolders() {}
std::optional<std::wstring> Form1::GetMyVersion() { return std::nullopt; }
void Form1::CheckVersionAndDownload() {}
}  // namespace hb
