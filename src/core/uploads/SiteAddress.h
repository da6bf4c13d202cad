#pragma once
#include <string>

namespace hb {

// The address the user typed, reduced to what the upload needs: blanks at
// both ends, then every other blank, removed; each "\" made "/"; a leading
// "http://" in any letter case removed (a bare host means plain HTTP, as
// earlier versions stored it); a leading "https://" in any letter case kept
// as "https://"; everything from the first "/" after it cut off. So the
// result is "host[:port]" or "https://host[:port]". Nothing else is checked,
// so the host may be empty.
std::wstring NormaliseSiteAddress(std::wstring address);

}  // namespace hb
