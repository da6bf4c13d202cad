// Reducing the typed site address to the bare host.

#include <gtest/gtest.h>

#include "uploads/SiteAddress.h"

namespace hb {
namespace {

struct Case {
    const wchar_t* typed;
    const wchar_t* host;
};

TEST(SiteAddress, ReducesToTheBareHost) {
    const Case cases[] = {
        {L"guild.example", L"guild.example"},
        {L"  guild.example  ", L"guild.example"},
        {L"guild .exam ple", L"guild.example"},
        {L" http://guild.example/ ", L"guild.example"},
        {L"HTTP://guild.example", L"guild.example"},
        {L"hTtP://guild.example", L"guild.example"},
        {L"http://guild.example:8080/bank/upload.php", L"guild.example:8080"},
        {L"guild.example\\bank", L"guild.example"},
        {L"http:\\\\guild.example", L"guild.example"},  // backslashes become slashes before the scheme test
        {L"/guild.example", L""},
        {L"https://guild.example", L"https:"},
        {L"http:/", L"http:"},   // shorter than the scheme: left alone, then cut
        {L"http://", L""},
        {L"   ", L""},
        {L"", L""},
        {L"\tguild.example", L"\tguild.example"},  // only blanks are removed
        {L"ftp://guild.example", L"ftp:"},
        {L"guild.example http://", L"guild.examplehttp:"},  // the scheme counts only at the start
    };
    int number = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(NormaliseSiteAddress(c.typed), c.host) << "case " << number;
        ++number;
    }
}

TEST(SiteAddress, IsStableOnItsOwnResult) {
    for (const wchar_t* typed : {L" HTTP://a.b:81\\x ", L"https://a.b/c", L"a b"}) {
        const std::wstring once = NormaliseSiteAddress(typed);
        EXPECT_EQ(NormaliseSiteAddress(once), once);
    }
}

}  // namespace
}  // namespace hb
