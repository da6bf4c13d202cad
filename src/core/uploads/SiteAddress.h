#pragma once
#include <string>

namespace hb {

// The address the user typed, reduced to the bare host (with a port if one
// was typed): blanks at both ends, then every other blank, removed; each "\"
// made "/"; a leading "http://" in any letter case removed; everything from
// the first "/" on cut off. Nothing else is checked, so the result may be empty.
std::wstring NormaliseSiteAddress(std::wstring address);

}  // namespace hb
