// The registry module and the Win32 registry port against the real
// registry, in keys of the tests' own that are removed afterwards.

#include <gtest/gtest.h>
#include <set>
#include <windows.h>

#include <random>
#include <string>

#include "base/registry.h"
#include "fakes/FakeMessageBoxes.h"
#include "fakes/FakeProcess.h"
#include "support/FormFixture.h"
#include "win32/Win32Registry.h"

namespace hb::test {
namespace {

constexpr REGSAM kView = KEY_WOW64_32KEY;
constexpr const char* kWowKeyA = "Software\\Blizzard Entertainment\\World of Warcraft";

std::string UniqueKeyPath() {
    std::random_device random;
    return "Software\\HoardbookUploaderTests\\" + std::to_string(random());
}

// A key made for one test and deleted with everything in it afterwards.
class OwnKey {
public:
    OwnKey(HKEY root, std::string path) : root_(root), path_(std::move(path)) {
        HKEY key = nullptr;
        LONG status = ::RegCreateKeyExA(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr, &key,
                                        nullptr);
        if (status != ERROR_SUCCESS) throw std::runtime_error("cannot create the test key");
        key_.reset(key);
    }
    ~OwnKey() {
        key_.reset();
        ::RegDeleteTreeA(root_, path_.c_str());
        ::RegDeleteKeyExA(root_, path_.c_str(), kView, 0);
    }
    HKEY get() const { return key_.get(); }
    const std::string& path() const { return path_; }
    std::wstring widePath() const { return std::wstring(path_.begin(), path_.end()); }  // ASCII

    void putRaw(const std::string& name, DWORD type, const std::string& bytes) {
        ASSERT_EQ(::RegSetValueExA(key_.get(), name.c_str(), 0, type,
                                   reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
    }
    // The stored bytes and type, as the system gives them.
    std::pair<DWORD, std::string> raw(const std::string& name) {
        DWORD type = 0;
        DWORD size = 0;
        if (::RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
            return {0, "<missing>"};
        }
        std::string bytes(size, '\0');
        ::RegQueryValueExA(key_.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
        bytes.resize(size);
        return {type, bytes};
    }

private:
    HKEY root_;
    std::string path_;
    win32::UniqueKey key_;
};

class RealRegistry : public ::testing::Test {
protected:
    RegistryValue read(const std::wstring& name) {
        return GetRegistryValue(registry, RegistryRoot::CurrentUser, key.widePath(), name);
    }
    // The stored bytes as the wide functions give them: what Windows keeps.
    std::wstring storedText(const std::wstring& name) {
        DWORD type = 0;
        DWORD size = 0;
        if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
            return L"<missing>";
        }
        std::wstring text(size / sizeof(wchar_t), L'\0');
        ::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
        return text;
    }

    OwnKey key{HKEY_CURRENT_USER, UniqueKeyPath()};
    win32::Win32Registry registry;
};

TEST_F(RealRegistry, StringsReadWithAndWithoutTheirTerminatingZero) {
    key.putRaw("WithZero", REG_SZ, std::string("C:\\Games\\WoW\\\0", 14));
    // The system counts a zero right after the data as its terminator, so
    // the byte after these three is not zero.
    std::string unterminated = "abcX";
    ASSERT_EQ(::RegSetValueExA(key.get(), "WithoutZero", 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(unterminated.data()), 3),
              ERROR_SUCCESS);
    ASSERT_EQ(key.raw("WithoutZero").second, "abc");
    key.putRaw("OnlyZero", REG_SZ, std::string(1, '\0'));
    EXPECT_EQ(read(L"WithZero"), RegistryValue(std::wstring(L"C:\\Games\\WoW\\")));
    EXPECT_EQ(read(L"WithoutZero"), RegistryValue(std::wstring(L"ab")));
    EXPECT_EQ(read(L"OnlyZero"), RegistryValue(std::wstring()));
}

TEST_F(RealRegistry, AZeroByteStringReadsAsNothing) {
    key.putRaw("NoBytes", REG_SZ, "");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read(L"NoBytes")));
}

TEST_F(RealRegistry, ADwordReadsAsANumber) {
    key.putRaw("Number", REG_DWORD, std::string("\x2A\x00\x00\x80", 4));
    EXPECT_EQ(read(L"Number"), RegistryValue(static_cast<std::int32_t>(0x8000002A)));
}

TEST_F(RealRegistry, ExpandableStringsAndMissingValuesReadAsNothing) {
    key.putRaw("Expand", REG_EXPAND_SZ, std::string("%SystemRoot%\0", 13));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read(L"Expand")));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read(L"Missing")));
}

TEST_F(RealRegistry, WritingAbcStoresFourBytes) {
    SetRegistryString(registry, RegistryRoot::CurrentUser, key.widePath(), L"Written", L"abc");
    auto [type, bytes] = key.raw("Written");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(bytes, std::string("abc\0", 4));
    EXPECT_EQ(read(L"Written"), RegistryValue(std::wstring(L"abc")));
}

TEST_F(RealRegistry, TextTheCodePageHoldsIsStoredAsTheAnsiFunctionsStoredIt) {
    // A value written by an earlier version (through the ANSI functions)
    // and the same text written now are the same data, seen either way.
    const std::string ansi = "\"C:\\Program Files (x86)\\Hoardbook\\HoardbookUploader.exe\"";
    key.putRaw("Before", REG_SZ, ansi + std::string(1, '\0'));
    SetRegistryString(registry, RegistryRoot::CurrentUser, key.widePath(), L"Now",
                      std::wstring(ansi.begin(), ansi.end()));
    EXPECT_EQ(storedText(L"Now"), storedText(L"Before"));
    EXPECT_EQ(key.raw("Now"), key.raw("Before"));
    EXPECT_EQ(read(L"Before"), read(L"Now"));
}

TEST_F(RealRegistry, TextOutsideTheCodePageIsStoredAndReadIntact) {
    const std::wstring text = L"C:\\Users\\\u0141ukasz\\\u041B\u0435\u043D\u0430\\\u5C0F\u660E\\\U0001F409";
    SetRegistryString(registry, RegistryRoot::CurrentUser, key.widePath(), L"\u0412\u0435\u0440\u0430", text);
    EXPECT_EQ(storedText(L"\u0412\u0435\u0440\u0430"), text + L'\0');
    EXPECT_EQ(read(L"\u0412\u0435\u0440\u0430"), RegistryValue(text));
    EXPECT_EQ(storedText(L"????"), L"<missing>") << "the value's name was not squeezed through the code page";
}

TEST_F(RealRegistry, DeletingRemovesTheValue) {
    key.putRaw("Doomed", REG_SZ, std::string("x\0", 2));
    DeleteRegistryValue(registry, RegistryRoot::CurrentUser, key.widePath(), L"Doomed");
    EXPECT_EQ(key.raw("Doomed").second, "<missing>");
    DeleteRegistryValue(registry, RegistryRoot::CurrentUser, key.widePath(), L"Doomed");  // no harm
}

TEST_F(RealRegistry, WritingToAMissingKeyCreatesNothing) {
    std::string missing = key.path() + "\\Missing";
    SetRegistryString(registry, RegistryRoot::CurrentUser, key.widePath() + L"\\Missing", L"Value", L"abc");
    HKEY opened = nullptr;
    EXPECT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, missing.c_str(), 0, KEY_READ | kView, &opened),
              ERROR_FILE_NOT_FOUND);
    if (opened != nullptr) ::RegCloseKey(opened);
}

TEST_F(RealRegistry, ThePortReportsTheSystemsStatusCodes) {
    RegistryKey handle = 0;
    EXPECT_EQ(registry.openKey(RegistryRoot::CurrentUser, key.widePath() + L"\\Missing", reg::KEY_QUERY_VALUE_ACCESS,
                               handle),
              reg::FILE_NOT_FOUND);
    EXPECT_EQ(handle, 0u);
    ASSERT_EQ(registry.openKey(RegistryRoot::CurrentUser, key.widePath(), reg::KEY_QUERY_VALUE_ACCESS, handle),
              reg::SUCCESS);
    key.putRaw("Long", REG_SZ, std::string("0123456789\0", 11));
    std::uint32_t type = 0;
    std::uint32_t size = 4;
    std::uint8_t small[4];
    EXPECT_EQ(registry.queryValue(handle, L"Long", type, small, size), reg::MORE_DATA);
    EXPECT_EQ(size, 22u) << "eleven UTF-16 code units";
    EXPECT_EQ(registry.closeKey(handle), reg::SUCCESS);
    EXPECT_NE(registry.closeKey(handle), reg::SUCCESS);  // closed once only
}

// GetWoWDir with the real registry: the game's key lives in the 32-bit view.
TEST_F(RealRegistry, SubKeysAreEnumeratedByNameUntilNoMoreItems) {
    // How the game's uninstall entries are found.
    for (const char* name : {"World of Warcraft", "Other Program"}) {
        HKEY sub = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(key.get(), name, 0, nullptr, 0, KEY_ALL_ACCESS | kView, nullptr, &sub, nullptr),
                  ERROR_SUCCESS);
        ::RegCloseKey(sub);
    }
    RegistryKey opened = 0;
    ASSERT_EQ(registry.openKey(RegistryRoot::CurrentUser, key.widePath(),
                               reg::KEY_QUERY_VALUE_ACCESS | reg::KEY_ENUMERATE_SUB_KEYS_ACCESS | kView, opened),
              reg::SUCCESS);
    std::set<std::wstring> names;
    std::wstring name;
    std::uint32_t index = 0;
    for (; registry.enumKey(opened, index, name) == reg::SUCCESS; ++index) names.insert(name);
    EXPECT_EQ(registry.enumKey(opened, index, name), reg::NO_MORE_ITEMS);
    EXPECT_EQ(names, (std::set<std::wstring>{L"World of Warcraft", L"Other Program"}));
    registry.closeKey(opened);
}

class GameKeyInRegistry : public FormFixture {
protected:
    GameKeyInRegistry() {
        use(realRegistry);
        makeForm();
    }
    win32::Win32Registry realRegistry;
};

TEST_F(GameKeyInRegistry, AMissingInstallPathShowsTheMessageAndEndsTheProgram) {
    HKEY existing = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kWowKeyA, 0, KEY_READ | kView, &existing) == ERROR_SUCCESS) {
        ::RegCloseKey(existing);
        GTEST_SKIP() << "this prefix has the game installed";
    }
    EXPECT_THROW(form->folders().GetWoWDir(), ProcessEnded);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              L"We were unable to locate your World of Warcraft Folder.  Apparently WoW is not properly installed."
              L"\r\n\r\nHoardbookUploader will now exit");
    EXPECT_EQ(boxes.shown[0].title, L"HoardbookUploader");
    EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Stop);
    EXPECT_EQ(boxes.shown[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(process.endCount, 1);
}

TEST_F(GameKeyInRegistry, TheInstallPathIsReadFromThe32BitView) {
    HKEY existing = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kWowKeyA, 0, KEY_READ | kView, &existing) == ERROR_SUCCESS) {
        ::RegCloseKey(existing);
        GTEST_SKIP() << "this prefix has the game installed";
    }
    OwnKey game(HKEY_LOCAL_MACHINE, kWowKeyA);
    game.putRaw("InstallPath", REG_SZ, std::string("C:\\Games\\World of Warcraft\\\0", 28));
    EXPECT_EQ(form->folders().GetWoWDir(), L"C:\\Games\\World of Warcraft\\");
    EXPECT_EQ(form->folders().GetAccountDir(), L"C:\\Games\\World of Warcraft\\WTF\\Account");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(GameKeyInRegistry, AnInstallFolderOutsideTheCodePageIsListed) {
    HKEY existing = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kWowKeyA, 0, KEY_READ | kView, &existing) == ERROR_SUCCESS) {
        ::RegCloseKey(existing);
        GTEST_SKIP() << "this prefix has the game installed";
    }
    // Through the ANSI functions each of these letters became "?", which a
    // folder listing takes as a wildcard: the list stayed empty.
    const std::filesystem::path game = temp.path() / L"Spiele \u0141ukasz \u041B\u0435\u043D\u0430 \u5C0F\u660E";
    const std::filesystem::path saved = game / "WTF" / "Account" / "ACCT" / "SavedVariables";
    std::filesystem::create_directories(saved);
    temp.write(saved / "Hoardbook.lua", "x");
    OwnKey gameKey(HKEY_LOCAL_MACHINE, kWowKeyA);
    const std::wstring installPath = game.wstring() + L"\\";
    ASSERT_EQ(::RegSetValueExW(gameKey.get(), L"InstallPath", 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(installPath.c_str()),
                               static_cast<DWORD>((installPath.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);

    form->scan().LoadfilesFromHardDrive();

    EXPECT_EQ(form->folders().GetWoWDir(), installPath);
    ASSERT_EQ(window.items.size(), 1u);
    EXPECT_EQ(window.items[0].text, L"ACCT");
    EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace hb::test
