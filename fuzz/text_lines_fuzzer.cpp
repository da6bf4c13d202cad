// The line format of settings.txt and noupload.txt: splitting and joining.

#include "gamedata/LineEnds.h"
#include "settings/TextLines.h"
#include "support/FuzzSupport.h"

using namespace hb;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);
    const std::vector<std::string_view> lines = SplitTextLines(bytes);

    std::vector<std::string> owned;
    for (std::string_view line : lines) {
        // A line ends at its CR; the LF after it belongs to the line end.
        FUZZ_CHECK(line.find('\r') == std::string_view::npos);
        FUZZ_CHECK(line.data() >= bytes.data() && line.data() + line.size() <= bytes.data() + bytes.size());
        owned.emplace_back(line);
    }
    FUZZ_CHECK(lines.empty() == bytes.empty());

    // Both readers of the program's text files agree on where lines end.
    const std::string joined = JoinTextLines(owned);
    FUZZ_CHECK(joined == WithCrLfLineEnds(std::string(bytes)));

    // What the program writes reads back as the same lines.
    const std::vector<std::string_view> again = SplitTextLines(joined);
    FUZZ_CHECK(again.size() == lines.size());
    for (std::size_t i = 0; i < again.size() && i < lines.size(); ++i) FUZZ_CHECK(again[i] == lines[i]);
    return 0;
}
