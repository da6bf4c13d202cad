// TEMPORARY placeholders so the program links while gamedata is built; delete when implemented.
#include "shell/Form1.h"
#include "settings/registry.h"
namespace hb {
std::wstring Form1::GetWoWDir() { return {}; }
std::wstring Form1::GetAccountDir() { return {}; }
std::wstring Form1::FormatIt(const std::wstring& f) { return f; }
void Form1::LoadfilesFromHardDrive() {}
void Form1::LoadFilesFromDir(const std::wstring&) {}
bool Form1::InListAlready(const std::wstring&) const { return false; }
void Form1::CompareToHardDrive() {}
void Form1::GetNextListIndexnoupload() {}
std::string Form1::LoadDataFromHardDrive(std::int16_t) { return {}; }
std::string Form1::GetFile(const std::wstring&) { return {}; }
std::wstring Form1::SavedDataFileOf(int) { return {}; }
RegistryValue GetRegistryValue(Registry&, RegistryRoot, const std::string&, const std::string&) { return {}; }
void SetRegistryString(Registry&, RegistryRoot, const std::string&, const std::string&, const std::string&) {}
void DeleteRegistryValue(Registry&, RegistryRoot, const std::string&, const std::string&) {}
long ReadRegistryData(Registry&, RegistryKey, const std::string&, RegistryValue&) { return 0; }
long WriteRegistryData(Registry&, RegistryKey, const std::string&, std::uint32_t, const RegistryValue&) { return 0; }
}  // namespace hb
