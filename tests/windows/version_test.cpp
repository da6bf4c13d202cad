// The version a player sees, against the CMake project version it comes from
// (HB_PROJECT_VERSION): the built program's version resource, read the way
// Explorer's Details tab reads it, and the README's download instructions.

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "HostFiles.h"

namespace hb::test {
namespace {

struct VersionNumbers {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned patch = 0;
};

VersionNumbers ProjectVersion() {
    VersionNumbers version;
    wchar_t rest = 0;
    const int fields = std::swscanf(HB_PROJECT_VERSION, L"%u.%u.%u%c", &version.major, &version.minor, &version.patch, &rest);
    EXPECT_EQ(fields, 3) << "the project version is not major.minor.patch";
    return version;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

class ProgramVersionTest : public ::testing::Test {
protected:
    void SetUp() override {
        program_ = HostPath(EnvironmentText(L"HB_APP_EXE"));
        ASSERT_FALSE(program_.empty()) << "HB_APP_EXE names no program";
        DWORD unused = 0;
        const DWORD size = ::GetFileVersionInfoSizeW(program_.c_str(), &unused);
        ASSERT_GT(size, 0u) << program_ << " has no version resource (error " << ::GetLastError() << ")";
        block_.resize(size);
        ASSERT_TRUE(::GetFileVersionInfoW(program_.c_str(), 0, size, block_.data()));
    }

    const VS_FIXEDFILEINFO* fixedInfo() {
        void* value = nullptr;
        UINT length = 0;
        if (!::VerQueryValueW(block_.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) return nullptr;
        return static_cast<const VS_FIXEDFILEINFO*>(value);
    }

    // A text of the string table in the language the resource declares.
    std::wstring text(const wchar_t* name) {
        struct Translation {
            WORD language;
            WORD codePage;
        };
        void* value = nullptr;
        UINT length = 0;
        if (!::VerQueryValueW(block_.data(), L"\\VarFileInfo\\Translation", &value, &length) || length < sizeof(Translation)) {
            return L"<no translation>";
        }
        const auto* translation = static_cast<const Translation*>(value);
        wchar_t path[128];
        std::swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language, translation->codePage, name);
        if (!::VerQueryValueW(block_.data(), path, &value, &length) || length == 0) return L"<missing>";
        return std::wstring(static_cast<const wchar_t*>(value));
    }

    std::filesystem::path program_;
    std::vector<BYTE> block_;
};

TEST_F(ProgramVersionTest, FileAndProductNumbersAreTheProjectVersion) {
    const VersionNumbers expected = ProjectVersion();
    const VS_FIXEDFILEINFO* info = fixedInfo();
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(HIWORD(info->dwFileVersionMS), expected.major);
    EXPECT_EQ(LOWORD(info->dwFileVersionMS), expected.minor);
    EXPECT_EQ(HIWORD(info->dwFileVersionLS), expected.patch);
    EXPECT_EQ(LOWORD(info->dwFileVersionLS), 0u);
    EXPECT_EQ(info->dwProductVersionMS, info->dwFileVersionMS);
    EXPECT_EQ(info->dwProductVersionLS, info->dwFileVersionLS);
}

TEST_F(ProgramVersionTest, VersionTextsAreTheProjectVersion) {
    // The product version as the download names it; the file version in
    // Windows' four parts.
    EXPECT_EQ(Narrow(text(L"ProductVersion")), Narrow(HB_PROJECT_VERSION));
    EXPECT_EQ(Narrow(text(L"FileVersion")), Narrow(HB_PROJECT_VERSION L".0"));
    EXPECT_EQ(Narrow(text(L"OriginalFilename")), "HoardbookUploader.exe");
}

TEST(ReadmeVersionTest, DownloadInstructionsNameThisVersionsPackage) {
    const std::string readme = ReadBytes(HostPath(L"" HB_SOURCE_DIR) / "README.md");
    const std::regex packageName(R"(HoardbookUploader-([0-9][0-9.]*)-win64\.zip)");
    std::set<std::string> named;
    for (auto match = std::sregex_iterator(readme.begin(), readme.end(), packageName); match != std::sregex_iterator(); ++match) {
        named.insert((*match)[1].str());
    }
    EXPECT_EQ(named, std::set<std::string>{Narrow(HB_PROJECT_VERSION)});
}

}  // namespace
}  // namespace hb::test
