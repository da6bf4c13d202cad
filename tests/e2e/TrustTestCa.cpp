// The program under test runs in this program's Wine prefix, so trusting
// the test CA here lets it reach the TLS reference site as a player's
// program reaches a guild site with a real certificate.

#include "support/TestCaEnvironment.h"

namespace {

const auto* const trusted = ::testing::AddGlobalTestEnvironment(new hb::test::TestCaEnvironment);

}  // namespace
