// The add-on's two version texts: the installed one from the table of
// contents and the published one from the update server.
// Input: UTF-8 text; its first line is also taken as a version and wrapped
// in the white space that editors and servers add.

#include <optional>

#include "support/FuzzSupport.h"
#include "updater/VersionText.h"

using namespace hb;

namespace {

// "A short line": versions are a few characters ("2.1", "1.12.0-beta3").
constexpr std::size_t kLongestVersion = 80;

bool IsWhiteSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

bool IsControl(wchar_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

bool IsPlainVersion(std::wstring_view text) {
    if (text.empty() || IsWhiteSpace(text.front()) || IsWhiteSpace(text.back())) return false;
    for (wchar_t c : text) {
        if (IsControl(c) || c == 0xA0 || c == 0xFEFF) return false;
    }
    return true;
}

// White space from the input's bytes: blanks, tabs, CRs and LFs.
std::wstring WhiteSpaceFrom(std::wstring_view text, std::wstring_view kinds) {
    std::wstring space;
    for (std::size_t i = 0; i < text.size() && i < 6; ++i) space.push_back(kinds[text[i] % kinds.size()]);
    return space;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::wstring text = fuzz::Utf16FromUtf8(fuzz::Bytes(data, size));

    if (const std::optional<std::wstring> installed = VersionFromTocText(text)) {
        // One line's rest, never a line end or the white space around it.
        FUZZ_CHECK(installed->find_first_of(L"\r\n") == std::wstring::npos);
        FUZZ_CHECK(installed->empty() || (!IsWhiteSpace(installed->front()) && !IsWhiteSpace(installed->back())));
        FUZZ_CHECK(text.find(L"Version:") != std::wstring::npos);
    } else {
        FUZZ_CHECK(text.find(L"Version:") == std::wstring::npos);
    }

    // Whatever the server sends, a text taken for a version is a short line
    // of printable characters that reads the same when published again.
    const std::wstring published = ServerVersionFromText(text);
    if (!WhyNotAVersion(published)) {
        FUZZ_CHECK(!published.empty() && published.size() <= kLongestVersion);
        for (wchar_t c : published) FUZZ_CHECK(!IsControl(c));
        FUZZ_CHECK(!IsWhiteSpace(published.front()) && !IsWhiteSpace(published.back()));
        FUZZ_CHECK(ServerVersionFromText(published) == published);
    }

    const std::vector<std::wstring> lines = fuzz::SplitAt<wchar_t>(text, L'\n');
    if (lines.size() < 2 || !IsPlainVersion(lines[0])) return 0;
    const std::wstring& version = lines[0];
    const std::wstring before = WhiteSpaceFrom(lines[1], L" \t\r\n");
    const std::wstring after = WhiteSpaceFrom(lines.size() > 2 ? lines[2] : L"", L" \t\r\n");
    const std::wstring blanks = WhiteSpaceFrom(lines[1], L" \t");

    // The same version however the two files are laid out.
    FUZZ_CHECK(VersionFromTocText(L"## Title: Hoardbook\r\n## Version: " + version + L"\r\n") == version);
    FUZZ_CHECK(VersionFromTocText(L"## Version:" + version + L"\n## Author: x\n") == version);
    FUZZ_CHECK(ServerVersionFromText(version) == version);
    FUZZ_CHECK(ServerVersionFromText(version + L"\r\n") == version);
    FUZZ_CHECK(ServerVersionFromText(before + version + after) == version);
    FUZZ_CHECK(VersionFromTocText(L"## Version:" + blanks + version + after + L"\r\n") == version);
    return 0;
}
