#include "Scenario.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include <shlobj.h>

#include "AppDriver.h"

namespace hb::e2e {

namespace {

const char* kGameKey = "Software\\Blizzard Entertainment\\World of Warcraft";

std::wstring Environment(const wchar_t* name) {
    wchar_t value[32768];
    DWORD length = ::GetEnvironmentVariableW(name, value, 32768);
    if (length == 0) throw std::runtime_error("environment variable missing");
    return std::wstring(value, length);
}

// A Linux path handed over by the test runner, as Wine sees it.
std::filesystem::path FromHostPath(const std::wstring& path) {
    std::wstring windowsPath = L"Z:" + path;
    for (auto& c : windowsPath) {
        if (c == L'/') c = L'\\';
    }
    return windowsPath;
}

std::filesystem::path SiteData() { return FromHostPath(Environment(L"HB_SITE_DATA")); }
std::filesystem::path Received() { return SiteData() / "received"; }
std::filesystem::path PublishedFolder() { return SiteData() / "updates" / "files" / "Hoardbook"; }

// The game's installer writes the 32-bit view, where the program looks.
void SetRegistryString(HKEY root, const char* key, const char* name, const std::string& value) {
    HKEY opened = nullptr;
    LONG status = ::RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &opened,
                                    nullptr);
    if (status != ERROR_SUCCESS) throw std::runtime_error("cannot create a registry key");
    ::RegSetValueExA(opened, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));
    ::RegCloseKey(opened);
}

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out.push_back(static_cast<char>(c));
    return out;
}

std::size_t CountReceived() {
    std::size_t count = 0;
    while (std::filesystem::exists(Received() / std::to_string(count + 1) / "meta.json")) ++count;
    return count;
}

std::string JsonString(const std::string& json, const std::string& key) {
    auto at = json.find("\"" + key + "\": \"");
    if (at == std::string::npos) return {};
    at += key.size() + 5;
    return json.substr(at, json.find('"', at) - at);
}

}  // namespace

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

Scenario::Scenario() {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    std::random_device random;
    root_ = std::filesystem::path(temp) / (L"hb-e2e-" + std::to_wstring(random()));
    program_ = root_ / "Program";
    game_ = root_ / "World of Warcraft";
    work_ = root_ / "Work";
    std::filesystem::create_directories(program_);
    std::filesystem::create_directories(work_);
    std::error_code ignored;
    std::filesystem::remove_all(perUserFolder(), ignored);
    std::filesystem::create_directories(game_ / "WTF" / "Account");
    std::filesystem::create_directories(game_ / "Interface" / "Addons");
    std::filesystem::copy_file(FromHostPath(Environment(L"HB_APP_EXE")), program_ / "HoardbookUploader.exe");

    SetRegistryString(HKEY_LOCAL_MACHINE, kGameKey, "InstallPath", Narrow(game_.wstring() + L"\\"));
    SetRegistryString(HKEY_CURRENT_USER, "Software\\HoardbookUploader", "UpdateServer", Narrow(siteHost()));
    setSitePassword("gold & glory");

    // Unless a scenario says otherwise the installed add-on is the published one.
    publishAddon("1.0");
    installAddon("1.0");
    uploadsBefore_ = CountReceived();
}

Scenario::~Scenario() {
    std::error_code ignored;
    std::filesystem::remove(SiteData() / "redirect.json", ignored);
    std::filesystem::remove_all(root_, ignored);
    std::filesystem::remove_all(perUserFolder(), ignored);
}

std::wstring Scenario::copyProgramAs(const std::wstring& name) const {
    std::filesystem::copy_file(program_ / "HoardbookUploader.exe", program_ / name,
                               std::filesystem::copy_options::overwrite_existing);
    return (program_ / name).wstring();
}

void Scenario::removeProgramFile(const std::wstring& name) const { std::filesystem::remove(program_ / name); }

std::filesystem::path Scenario::perUserFolder() {
    PWSTR folder = nullptr;
    if (FAILED(::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder))) {
        throw std::runtime_error("no local application-data folder");
    }
    std::filesystem::path path(folder);
    ::CoTaskMemFree(folder);
    return path / "HoardbookUploader";
}

std::filesystem::path Scenario::lockedProgramFolder() {
    wchar_t value[32768];
    DWORD length = ::GetEnvironmentVariableW(L"HB_LOCKED_PROGRAM", value, 32768);
    if (length == 0) return {};
    return FromHostPath(std::wstring(value, length));
}

bool FolderWritable(const std::filesystem::path& folder) {
    const std::filesystem::path probe = folder / "write-probe.tmp";
    HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE,
                                nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int length = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), length, nullptr,
                          nullptr);
    return bytes;
}

void Scenario::setSitePassword(const std::string& password) {
    WriteFile(SiteData() / "site.json", "{\"accounts\": {\"raider\": \"" + password + "\"}}");
}

std::wstring Scenario::programPath() const { return (program_ / "HoardbookUploader.exe").wstring(); }

std::wstring Scenario::siteHost() { return L"127.0.0.1:" + Environment(L"HB_SITE_PORT"); }

std::wstring Scenario::tlsAddress(const wchar_t* portVariable) {
    return L"https://127.0.0.1:" + Environment(portVariable);
}

void Scenario::redirect(const std::string& scheme, int status, const std::wstring& location) {
    WriteFile(SiteData() / "redirect.json", "{\"" + scheme + "\": {\"status\": " + std::to_string(status) +
                                                ", \"location\": \"" + Narrow(location) + "\"}}");
}

std::size_t Scenario::redirectedRequests() {
    std::size_t count = 0;
    while (std::filesystem::exists(SiteData() / "redirected" / std::to_string(count + 1))) ++count;
    return count;
}

void Scenario::setUpdateServer(const std::wstring& address) {
    SetRegistryString(HKEY_CURRENT_USER, "Software\\HoardbookUploader", "UpdateServer", Narrow(address));
}

unsigned short Scenario::sitePort() { return static_cast<unsigned short>(std::stoi(Environment(L"HB_SITE_PORT"))); }

std::filesystem::path Scenario::savedDataFile(const std::wstring& entry) const {
    return game_ / "WTF" / "Account" / entry / "SavedVariables" / "Hoardbook.lua";
}

void Scenario::writeSavedData(const std::wstring& entry, const std::string& bytes) const {
    WriteFile(savedDataFile(entry), bytes);
}

void Scenario::writeSettings(const std::string& bytes) const { WriteFile(program_ / "settings.txt", bytes); }

void Scenario::writeProgramFile(const std::wstring& name, const std::string& bytes) const {
    WriteFile(program_ / name, bytes);
}

void Scenario::setSiteAccount(const std::string& login, const std::string& password) {
    WriteFile(SiteData() / "site.json", "{\"accounts\": {\"" + login + "\": \"" + password + "\"}}");
}

std::string Scenario::readProgramFile(const std::wstring& name) const { return ReadFile(program_ / name); }

bool Scenario::programFileExists(const std::wstring& name) const { return std::filesystem::exists(program_ / name); }

std::string Scenario::addonToc(const std::string& version) {
    return "## Interface: 11200\r\n## Title: Hoardbook\r\n## Version: " + version +
           "\r\n## SavedVariables: Hoardbook\r\nHoardbook.lua\r\n";
}

std::string Scenario::addonLua(const std::string& version) {
    return "-- Hoardbook " + version + "\r\nHoardbook = Hoardbook or {}\r\n";
}

void Scenario::publishAddon(const std::string& version) {
    WriteFile(PublishedFolder() / "HoardbookVersion", version + "\r\n");
    WriteFile(PublishedFolder() / "HoardbookFiles", "Hoardbook.toc\r\nHoardbook.lua\r\n");
    WriteFile(PublishedFolder() / "Hoardbook.toc", addonToc(version));
    WriteFile(PublishedFolder() / "Hoardbook.lua", addonLua(version));
}

void Scenario::publishFile(const std::wstring& name, const std::string& bytes) {
    // The "\\?\" form keeps the name as given.
    WriteFile(L"\\\\?\\" + (PublishedFolder() / name).wstring(), bytes);
}

void Scenario::installAddon(const std::string& version) const {
    auto folder = game_ / "Interface" / "Addons" / "Hoardbook";
    WriteFile(folder / "Hoardbook.toc", addonToc(version));
    WriteFile(folder / "Hoardbook.lua", addonLua(version));
}

std::string Scenario::readAddonFile(const std::wstring& name) const {
    return ReadFile(game_ / "Interface" / "Addons" / "Hoardbook" / name);
}

std::vector<Upload> Scenario::uploads() const {
    std::vector<Upload> result;
    for (std::size_t number = uploadsBefore_ + 1; number <= CountReceived(); ++number) {
        auto folder = Received() / std::to_string(number);
        Upload upload;
        upload.login = ReadFile(folder / "login");
        upload.fileBytes = ReadFile(folder / "thefile");
        const std::string meta = ReadFile(folder / "meta.json");
        upload.answer = JsonString(meta, "answer");
        upload.scheme = JsonString(meta, "scheme");
        result.push_back(std::move(upload));
    }
    return result;
}

bool Scenario::waitForUploads(std::size_t count, DWORD timeoutMs) const {
    return WaitFor([&] { return CountReceived() - uploadsBefore_ >= count; }, timeoutMs);
}

}  // namespace hb::e2e
