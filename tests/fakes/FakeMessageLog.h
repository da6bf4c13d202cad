#pragma once
#include <string>
#include <vector>

#include "ports/MessageLog.h"

namespace hb::test {

// Keeps every entry, oldest first, without the window's time stamps.
class FakeMessageLog : public MessageLog {
public:
    void add(const std::wstring& message) override { entries.push_back(message); }
    // Whether some entry contains the text.
    bool has(const std::wstring& text) const {
        for (const auto& entry : entries) {
            if (entry.find(text) != std::wstring::npos) return true;
        }
        return false;
    }
    std::vector<std::wstring> entries;
};

}  // namespace hb::test
