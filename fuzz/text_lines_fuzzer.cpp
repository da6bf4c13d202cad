// The line format of settings.txt and noupload.txt: splitting and joining.

#include "base/TextLines.h"
#include "support/FuzzSupport.h"

using namespace hb;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);
    const std::vector<std::string_view> lines = SplitTextLines(bytes);

    std::vector<std::string> owned;
    for (std::string_view line : lines) {
        // A line ends at CR LF, a lone CR or a lone LF.
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos);
        FUZZ_CHECK(line.data() >= bytes.data() && line.data() + line.size() <= bytes.data() + bytes.size());
        owned.emplace_back(line);
    }
    FUZZ_CHECK(lines.empty() == bytes.empty());

    // A model: every line end, whichever kind, becomes CR LF, and a last
    // line without one gains it.
    std::string model;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            model += "\r\n";
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            model += bytes[i];
        }
    }
    if (!model.empty() && !model.ends_with("\r\n")) model += "\r\n";
    const std::string joined = JoinTextLines(owned);
    FUZZ_CHECK(joined == model);

    // What the program writes reads back as the same lines.
    const std::vector<std::string_view> again = SplitTextLines(joined);
    FUZZ_CHECK(again.size() == lines.size());
    for (std::size_t i = 0; i < again.size() && i < lines.size(); ++i) FUZZ_CHECK(again[i] == lines[i]);
    return 0;
}
