// The typed site address reduced to "host[:port]" or "https://host[:port]",
// the URLs made of it, and the one redirect an upload follows.

#include <gtest/gtest.h>

#include "net/SiteUrl.h"
#include "uploads/SiteAddress.h"

namespace hb {
namespace {

struct Case {
    const wchar_t* typed;
    const wchar_t* host;
};

TEST(SiteAddress, ReducesToTheHostKeepingOnlyAnHttpsScheme) {
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
        {L"https://guild.example", L"https://guild.example"},
        {L" HTTPS://Guild.Example:8443/forum/ ", L"https://Guild.Example:8443"},
        {L"hTTpS:\\\\guild.example\\x", L"https://guild.example"},
        {L"https://", L"https://"},  // no host: the login's own check finds nothing to reach
        {L"https:/guild.example", L"https:"},
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
    for (const wchar_t* typed : {L" HTTP://a.b:81\\x ", L"https://a.b/c", L"HTTPS://a.b:1", L"a b"}) {
        const std::wstring once = NormaliseSiteAddress(typed);
        EXPECT_EQ(NormaliseSiteAddress(once), once);
    }
}

TEST(SiteUrl, ABareHostIsPlainHttpAndAnHttpsAddressKeepsItsScheme) {
    EXPECT_EQ(SiteUrl(L"guild.example:8080", L"/memberbankupload.php"), L"http://guild.example:8080/memberbankupload.php");
    EXPECT_EQ(SiteUrl(L"https://guild.example", L"/memberbankupload.php"), L"https://guild.example/memberbankupload.php");
    EXPECT_EQ(SiteUrl(L"HTTPS://guild.example:8443", L"/files/"), L"https://guild.example:8443/files/");
    EXPECT_EQ(SiteUrl(L"http://updates.example", L"/files/"), L"http://updates.example/files/");
    EXPECT_EQ(SchemeLabel(L"guild.example"), L"http://");
    EXPECT_EQ(SchemeLabel(L"Https://guild.example"), L"https://");
    EXPECT_EQ(SchemeLabel(L"httpsguild.example"), L"http://");  // a host that merely begins with the letters
}

TEST(SameHostHttpsMove, FollowsOnlyTheSamePageOnTheSameHostOverHttps) {
    const wchar_t* request = L"http://Guild.Example/memberbankupload.php";
    struct Move {
        const wchar_t* location;
        const wchar_t* movedTo;  // nullptr: not followed
    };
    const Move moves[] = {
        {L"https://guild.example/memberbankupload.php", L"https://Guild.Example"},
        {L"HTTPS://GUILD.EXAMPLE:8443/memberbankupload.php", L"https://Guild.Example:8443"},
        {L"https://guild.example:443/memberbankupload.php", L"https://Guild.Example:443"},
        {L"https://www.guild.example/memberbankupload.php", nullptr},         // another host
        {L"https://guild.example.evil/memberbankupload.php", nullptr},        // another host
        {L"https://guild.example/other.php", nullptr},                        // another page
        {L"https://guild.example/memberbankupload.php?x=1", nullptr},         // another request
        {L"https://guild.example/MemberBankUpload.php", nullptr},             // paths compare exactly
        {L"http://guild.example:8080/memberbankupload.php", nullptr},         // still plain
        {L"/memberbankupload.php", nullptr},                                  // relative
        {L"https://user@guild.example/memberbankupload.php", nullptr},        // credentials
        {L"https://guild.example:0/memberbankupload.php", nullptr},           // no such port
        {L"https://guild.example:99999/memberbankupload.php", nullptr},
        {L"https://guild.example:/memberbankupload.php", nullptr},
        {L"https:///memberbankupload.php", nullptr},
        {L"", nullptr},
    };
    for (const Move& move : moves) {
        const auto movedTo = SameHostHttpsMove(request, move.location);
        if (move.movedTo == nullptr) {
            EXPECT_FALSE(movedTo.has_value()) << move.location;
        } else {
            EXPECT_EQ(movedTo.value_or(L"(not followed)"), move.movedTo) << move.location;
        }
    }
    // Never from https to anything, and ports and IPv6 hosts of the request count as written.
    EXPECT_FALSE(SameHostHttpsMove(L"https://guild.example/memberbankupload.php",
                                   L"https://guild.example:8443/memberbankupload.php"));
    EXPECT_EQ(SameHostHttpsMove(L"http://127.0.0.1:8080/memberbankupload.php",
                                L"https://127.0.0.1:8443/memberbankupload.php")
                  .value_or(L""),
              L"https://127.0.0.1:8443");
    EXPECT_EQ(SameHostHttpsMove(L"http://[::1]:8080/memberbankupload.php", L"https://[::1]/memberbankupload.php")
                  .value_or(L""),
              L"https://[::1]");
}

}  // namespace
}  // namespace hb
