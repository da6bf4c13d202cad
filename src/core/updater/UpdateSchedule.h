#pragma once

namespace hb {

// Timer1 ticks once a second; a check runs when more than this many ticks
// have passed, i.e. on the 1802nd tick and then every 1801 ticks.
inline constexpr int kUpdateCheckTicks = 1800;

constexpr bool UpdateCheckDue(int ticksSinceLastCheck) { return ticksSinceLastCheck > kUpdateCheckTicks; }

}  // namespace hb
