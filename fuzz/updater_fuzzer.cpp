// The add-on updater against an update server that answers from the
// input: the published version, the file list, the table of contents it
// serves, and which downloads fail. Whatever it sends, nothing is written
// outside the add-on folder (but the program's own log) and the version
// file is installed only after every other file arrived.
// Input: the version text, the file list and the table of contents (each
// UTF-8, ended by a backslash and another byte), the bytes every other file
// holds (ended the same way), then one byte per file download: "4" answers
// 404, "x" fails the transfer, anything else serves it.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

#include "support/FormHarness.h"
#include "support/FuzzSupport.h"
#include "support/WindowsPaths.h"
#include "base/Utf8.h"
#include "updater/AddonPaths.h"
#include "updater/FileList.h"
#include "updater/VersionText.h"

using namespace hb;

namespace {

constexpr std::wstring_view kAddonFolder = L"C:\\Game\\Interface\\Addons\\Hoardbook\\";
// The add-on has a handful of files; a few hundred is plenty.
constexpr std::size_t kMostFilesFetched = 300;
// Versions are a few characters ("2.1", "1.12.0-beta3").
constexpr std::size_t kLongestVersion = 64;

// Blanks, tabs, line ends, vertical tab, form feed, no-break space and the
// byte-order mark some editors put first.
std::wstring WithoutWhiteSpace(std::wstring_view text) {
    constexpr std::wstring_view kWhiteSpace = L" \t\r\n\v\f\u00A0\uFEFF";
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::wstring_view::npos) return {};
    return std::wstring(text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1));
}

// The published version as documented: without surrounding white space,
// CR LF pairs inside removed.
std::wstring PublishedVersion(std::wstring_view text) {
    std::wstring version = WithoutWhiteSpace(text);
    for (std::size_t pair = version.find(L"\r\n"); pair != std::wstring::npos; pair = version.find(L"\r\n", pair)) {
        version.erase(pair, 2);
    }
    return WithoutWhiteSpace(version);
}

bool IsGarbage(std::wstring_view version) {
    if (version.size() > kLongestVersion) return true;
    for (wchar_t c : version) {
        if (c < 0x20 || c == 0x7F) return true;
    }
    return false;
}

struct Server {
    std::wstring version;
    std::wstring fileList;
    std::wstring toc;
    std::string fileBytes;
    std::string fates;
    std::size_t downloads = 0;

    test::FakeResponse answer(const test::RecordedRequest& request) {
        const std::wstring base = UpdateBaseUrl(fuzz::kUpdateHost);
        test::FakeResponse response;
        if (!request.url.starts_with(base)) {
            response.status = 404;
            return response;
        }
        const std::wstring name = request.url.substr(base.size());
        if (name == kServerVersionName) {
            response.text = version;
        } else if (name == kServerFileListName) {
            response.text = fileList;
        } else {
            const char fate = downloads < fates.size() ? fates[downloads] : ' ';
            ++downloads;
            // Served as a download is: the bytes, and the text decoded from them.
            const std::string bytes = fuzz::OpensVersionFile(name) ? ToUtf8(toc) : fileBytes;
            response.body = bytes;
            response.text = fuzz::Utf16FromUtf8(bytes);
            if (fate == '4') response.status = 404;
            if (fate == 'x') response.failAt = test::FakeResponse::FailAt::Send;
        }
        return response;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    Server server;
    server.version = fuzz::Utf16FromUtf8(input.ConsumeRandomLengthString(200));
    server.fileList = fuzz::Utf16FromUtf8(input.ConsumeRandomLengthString(4000));
    server.toc = fuzz::Utf16FromUtf8(input.ConsumeRandomLengthString(200));
    server.fileBytes = input.ConsumeRandomLengthString(200);
    server.fates = input.ConsumeRemainingBytesAsString();

    fuzz::MemoryFileSystem files;
    fuzz::FormHarness start(files);
    start.registry.putString(RegistryRoot::LocalMachine, L"Software\\Blizzard Entertainment\\World of Warcraft",
                             L"InstallPath", L"C:\\Game\\");
    start.http.responder = [&server](const test::RecordedRequest& request) { return server.answer(request); };
    start.form->updater().CheckVersionAndDownload();

    // Nothing outside the add-on folder, and only what a listed name opens.
    bool versionWritten = false;
    bool versionLast = true;
    for (const std::wstring& path : files.writeOrder) {
        if (path == fuzz::kLogFile) continue;  // the message log on disk
        FUZZ_CHECK(path.starts_with(kAddonFolder));
        const std::wstring name = path.substr(kAddonFolder.size());
        FUZZ_CHECK(fuzz::PartsBelowFolder(name).has_value());
        if (fuzz::OpensVersionFile(name)) {
            versionWritten = true;
        } else if (versionWritten) {
            versionLast = false;
        }
    }
    // Add-on files hold the bytes the server sent (a CR LF added at the end
    // may stay), not a re-encoding of them.
    for (const auto& [path, bytes] : files.files) {
        if (path == fuzz::kLogFile) continue;
        if (fuzz::OpensVersionFile(path.substr(kAddonFolder.size()))) continue;
        FUZZ_CHECK(bytes == server.fileBytes || bytes == server.fileBytes + "\r\n");
    }
    // The version file goes in last, and only when no other file failed.
    FUZZ_CHECK(versionLast);
    bool otherFailed = false;
    for (const std::wstring& name : SplitFileList(server.fileList)) {
        const bool written = files.writes.count(JoinPath(kAddonFolder, name)) != 0;
        if (!fuzz::OpensVersionFile(name) && !written) otherFailed = true;
    }
    if (otherFailed) FUZZ_CHECK(!versionWritten);

    const std::size_t firstCheckRequests = start.http.requests.size();
    // A file list of thousands of names fetches a bounded number of them.
    FUZZ_CHECK(firstCheckRequests <= 2 + kMostFilesFetched);

    const std::wstring published = PublishedVersion(server.version);
    const bool announced = !start.boxes.shown.empty() &&
                           start.boxes.shown.back().text.starts_with(L"Hoardbook has been updated to version");
    // A published text that is no version (control characters, far longer
    // than a version) installs nothing.
    if (IsGarbage(published)) {
        FUZZ_CHECK(std::count_if(files.writeOrder.begin(), files.writeOrder.end(),
                                 [](const std::wstring& path) { return path != fuzz::kLogFile; }) == 0 &&
                   !announced && firstCheckRequests == 1);
    }

    // An update that completed is not fetched again while the server stays
    // the same, when the table of contents it served names that version.
    bool fitsCodePage = true;
    for (wchar_t c : published) fitsCodePage = fitsCodePage && c <= 0xFF;
    const auto servedVersion = VersionFromTocText(server.toc);
    const bool installed = files.writes.count(JoinPath(kAddonFolder, kVersionFileName)) != 0;
    if (announced && installed && fitsCodePage && servedVersion &&
        WithoutWhiteSpace(*servedVersion) == published) {
        start.form->updater().CheckVersionAndDownload();
        FUZZ_CHECK(start.http.requests.size() == firstCheckRequests + 1);
    }
    return 0;
}
