#pragma once
// One end-to-end scenario's world: a game folder the registry names, a copy
// of the program in a folder of its own (its settings live beside it), the
// reference site's accounts, the add-on the update server publishes, and
// what the site received.

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

namespace hb::e2e {

// The change watcher's timer ticks every 5 s (one upload at most per tick).
inline constexpr DWORD kTick = 5000;
// Within this a started program shows its window or its first box.
inline constexpr DWORD kStartTimeout = 30000;

inline constexpr wchar_t kLogin[] = L"raider";
inline constexpr wchar_t kPassword[] = L"gold & glory";

struct Upload {
    std::string login;     // as received (form-encoded)
    std::string fileBytes; // the saved data
    std::string answer;    // what the site replied
    std::string scheme;    // "http" or "https": how it reached the site
};

class Scenario {
public:
    Scenario();
    ~Scenario();

    const std::filesystem::path& programFolder() const { return program_; }
    std::wstring programPath() const;
    const std::filesystem::path& gameFolder() const { return game_; }
    // A folder of its own to start the program in: earlier versions kept
    // their files in the working directory.
    const std::filesystem::path& workFolder() const { return work_; }
    // A copy of the program beside the first one under another file name.
    std::wstring copyProgramAs(const std::wstring& name) const;
    // Removes a file from the program folder.
    void removeProgramFile(const std::wstring& name) const;

    // %LOCALAPPDATA%\HoardbookUploader, where the settings go when the
    // program's folder cannot be written; emptied before and after each scenario.
    static std::filesystem::path perUserFolder();
    // A folder holding a copy of the program that cannot be written to, as
    // "Program Files" is for a player (tools/with-locked-program); empty
    // where the test runner could not take the write access away.
    static std::filesystem::path lockedProgramFolder();

    // "127.0.0.1:PORT" of the reference site.
    static std::wstring siteHost();
    // "https://127.0.0.1:PORT" of the same site behind TLS; portVariable
    // names which certificate (HB_TLS_PORT: the valid one, trusted).
    static std::wstring tlsAddress(const wchar_t* portVariable = L"HB_TLS_PORT");
    // The site answers requests that arrive over scheme ("http" or "https")
    // with this redirect to location + the request's path, until the
    // scenario ends; how many it redirected so far.
    static void redirect(const std::string& scheme, int status, const std::wstring& location);
    static std::size_t redirectedRequests();
    // The update server the program asks (the registry value).
    static void setUpdateServer(const std::wstring& address);
    static unsigned short sitePort();

    // Writes <account folder>\<entry>\SavedVariables\Hoardbook.lua.
    void writeSavedData(const std::wstring& entry, const std::string& bytes) const;
    std::filesystem::path savedDataFile(const std::wstring& entry) const;
    void writeSettings(const std::string& bytes) const;
    void writeProgramFile(const std::wstring& name, const std::string& bytes) const;
    std::string readProgramFile(const std::wstring& name) const;
    bool programFileExists(const std::wstring& name) const;

    // The site accepts this login and password (UTF-8) instead of the
    // scenario's usual account.
    static void setSiteAccount(const std::string& login, const std::string& password);

    // The update server publishes this version of the add-on (a .toc and a
    // .lua); installAddon puts the same files into the game folder.
    static void publishAddon(const std::string& version);
    void installAddon(const std::string& version) const;
    static std::string addonToc(const std::string& version);
    static std::string addonLua(const std::string& version);
    // Publishes one file on the update server under exactly this name (a
    // trailing dot or space included, which Windows paths would drop).
    static void publishFile(const std::wstring& name, const std::string& bytes);
    std::string readAddonFile(const std::wstring& name) const;

    // The reference site's one account ("raider") gets this password.
    static void setSitePassword(const std::string& password);

    // Everything the site received since this scenario began, in order.
    std::vector<Upload> uploads() const;
    // Waits until at least count uploads arrived; false after the timeout.
    bool waitForUploads(std::size_t count, DWORD timeoutMs) const;

private:
    std::filesystem::path root_;
    std::filesystem::path program_;
    std::filesystem::path game_;
    std::filesystem::path work_;
    std::size_t uploadsBefore_ = 0;
};

// Text files as the tests write them.
std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
// Whether a new file can be made in the folder.
bool FolderWritable(const std::filesystem::path& folder);
// Text as UTF-8 bytes.
std::string Utf8(const std::wstring& text);

}  // namespace hb::e2e
