#pragma once
// Text files as the program reads them: a line ends at CR LF or at a lone
// CR; a lone LF is part of the line.

#include <string>
#include <string_view>

namespace hb {

// The bytes with every line followed by CR LF: lone CRs become CR LF and a
// last line without a line end gains one. An empty input stays empty.
std::string WithCrLfLineEnds(std::string bytes);

}  // namespace hb
