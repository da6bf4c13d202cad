// Saved data's line ends: every line followed by CR LF, measured against a
// plain character-by-character model of the rule.

#include "gamedata/LineEnds.h"
#include "support/FuzzSupport.h"

using namespace hb;

namespace {

// A line ends at CR LF or at a lone CR; a lone LF is part of the line.
std::string Model(std::string_view bytes) {
    std::string text;
    bool lineOpen = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            text += "\r\n";
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            lineOpen = false;
        } else {
            text.push_back(bytes[i]);
            lineOpen = true;
        }
    }
    if (lineOpen) text += "\r\n";
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::Bytes(data, size);
    const std::string text = WithCrLfLineEnds(std::string(bytes));

    FUZZ_CHECK(text == Model(bytes));
    // Already normalised text is sent as it is.
    FUZZ_CHECK(WithCrLfLineEnds(text) == text);
    return 0;
}
