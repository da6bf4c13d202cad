#pragma once
// The text of the program's own files, "settings.txt" and "noupload.txt":
// lines ended by CR LF (see TextLines.h), in one of two encodings.
//
// Written:
// - ANSI: the system's code page, as every earlier version wrote them. Used
//   whenever the code page holds every line exactly, so such files stay byte
//   for byte what they always were.
// - UTF-8 after a byte-order mark (EF BB BF): used when a line holds a
//   character the code page lacks (a Polish, Russian or Chinese name on a
//   Western European system), and for the rare lines whose code-page bytes
//   would read as UTF-8 (below). No ANSI file of an earlier version starts
//   with these three bytes. A lone surrogate, which a folder name may hold, is kept
//   in its three-byte form (as WTF-8 does).
//
// Read: UTF-8 after the mark; also UTF-8 without it when the bytes are
// well-formed UTF-8 holding a byte beyond ASCII (what current editors save);
// the code page otherwise.
//
// Round trip: DecodeTextFile(EncodeTextFile(lines)) == lines for any lines
// that hold no CR or LF (a line cannot hold its own line end).

#include <string>
#include <string_view>
#include <vector>

#include "ports/Process.h"

namespace hb {

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

std::string EncodeTextFile(const std::vector<std::wstring>& lines, const Codepage& codepage);

std::vector<std::wstring> DecodeTextFile(std::string_view bytes, const Codepage& codepage);

}  // namespace hb
