#pragma once
// The line format of the program's own text files: each line is followed by
// CR LF when written. A reader ends a line at CR LF, at a lone CR or at a
// lone LF, so a file saved by any editor (a Linux one under Wine writes LF)
// reads as the lines it shows.

#include <string>
#include <string_view>
#include <vector>

namespace hb {

// The lines of a file's bytes, as views into them. An empty file has no
// lines; a last line without a line end is still a line.
std::vector<std::string_view> SplitTextLines(std::string_view bytes);

// Every line followed by CR LF; no lines give zero bytes.
std::string JoinTextLines(const std::vector<std::string>& lines);

}  // namespace hb
