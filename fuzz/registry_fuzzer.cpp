// The registry module over a registry whose every answer comes from the
// input: any status, type and size, sizes that change between the call
// that asks for the size and the call that reads, data shorter than
// claimed. The module must stay within its buffers, close every key it
// opened exactly once, and take a value only from a successful read.
// After that, strings and numbers written through the module to an honest
// registry read back the same.

#include <fuzzer/FuzzedDataProvider.h>

#include <charconv>
#include <set>

#include "fakes/FakeRegistry.h"
#include "settings/registry.h"
#include "support/FuzzSupport.h"

using namespace hb;

namespace {

class ScriptedRegistry : public Registry {
public:
    explicit ScriptedRegistry(FuzzedDataProvider& input) : input_(input) {}

    long openKey(RegistryRoot, const std::string&, std::uint32_t, RegistryKey& key) override {
        const long status = Status();
        key = 0;
        if (status != reg::SUCCESS) return status;
        key = next_++;
        open_.insert(key);
        return status;
    }

    long queryValue(RegistryKey key, const std::string&, std::uint32_t& type, std::uint8_t* data,
                    std::uint32_t& size) override {
        FUZZ_CHECK(open_.count(key) == 1);
        const long status = Status();
        type = input_.ConsumeIntegralInRange<std::uint32_t>(0, 5);
        const std::uint32_t room = size;
        size = input_.ConsumeIntegralInRange<std::uint32_t>(0, 64);
        lastWritten_.clear();
        if (data != nullptr && status == reg::SUCCESS) {
            // Never beyond the caller's buffer, as advapi32 never writes.
            std::string bytes = input_.ConsumeBytesAsString(std::min(size, room));
            std::copy(bytes.begin(), bytes.end(), data);
            lastWritten_ = bytes;
        }
        lastSize_ = size;
        lastType_ = type;
        lastStatus_ = status;
        return status;
    }

    long setValue(RegistryKey key, const std::string&, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
        FUZZ_CHECK(open_.count(key) == 1);
        written_.assign(reinterpret_cast<const char*>(data), size);
        writtenType_ = type;
        return Status();
    }

    long deleteValue(RegistryKey key, const std::string&) override {
        FUZZ_CHECK(open_.count(key) == 1);
        return Status();
    }

    long closeKey(RegistryKey key) override {
        FUZZ_CHECK(open_.erase(key) == 1);
        return reg::SUCCESS;
    }

    bool allClosed() const { return open_.empty(); }

    std::string lastWritten_;
    std::uint32_t lastSize_ = 0;
    std::uint32_t lastType_ = 0;
    long lastStatus_ = 0;
    std::string written_;
    std::uint32_t writtenType_ = 0;

private:
    // Mostly success, sometimes "not found", "more data" or access denied.
    long Status() {
        static constexpr long kStatuses[] = {reg::SUCCESS, reg::SUCCESS, reg::FILE_NOT_FOUND, reg::MORE_DATA, 5};
        return input_.PickValueInArray(kStatuses);
    }

    FuzzedDataProvider& input_;
    std::set<RegistryKey> open_;
    RegistryKey next_ = 0x10;
};

RegistryRoot PickRoot(FuzzedDataProvider& input) {
    return input.PickValueInArray({RegistryRoot::CurrentUser, RegistryRoot::LocalMachine});
}

void ReadFromScript(FuzzedDataProvider& input) {
    ScriptedRegistry registry(input);
    const RegistryValue value = GetRegistryValue(registry, PickRoot(input), "Software\\Key", "Value");
    FUZZ_CHECK(registry.allClosed());
    if (const auto* text = std::get_if<std::string>(&value)) {
        // The read that succeeded gave these bytes (and the buffer's zeros
        // where it gave fewer than it claimed), less the terminating zero.
        FUZZ_CHECK(registry.lastStatus_ == reg::SUCCESS);
        FUZZ_CHECK(text->size() + 1 == registry.lastSize_);
        std::string expected = registry.lastWritten_;
        expected.resize(registry.lastSize_, '\0');
        expected.pop_back();
        FUZZ_CHECK(*text == expected);
    } else if (std::holds_alternative<std::int32_t>(value)) {
        FUZZ_CHECK(registry.lastStatus_ == reg::SUCCESS);
    }
}

void WriteToScript(FuzzedDataProvider& input) {
    ScriptedRegistry registry(input);
    const std::string text = input.ConsumeRandomLengthString(32);
    if (input.ConsumeBool()) {
        SetRegistryString(registry, PickRoot(input), "Software\\Key", "Value", text);
        if (!registry.written_.empty()) {
            FUZZ_CHECK(registry.writtenType_ == reg::REG_SZ_TYPE);
            FUZZ_CHECK(registry.written_ == text + '\0');
        }
    } else {
        DeleteRegistryValue(registry, PickRoot(input), "Software\\Key", "Value");
    }
    FUZZ_CHECK(registry.allClosed());
}

// Through an honest registry, what is written reads back.
void RoundTrip(FuzzedDataProvider& input) {
    test::FakeRegistry registry;
    const std::string key = "Software\\HoardbookUploader";
    registry.createKey(RegistryRoot::CurrentUser, key);
    const std::string text = input.ConsumeRandomLengthString(64);
    SetRegistryString(registry, RegistryRoot::CurrentUser, key, "Text", text);
    FUZZ_CHECK(GetRegistryValue(registry, RegistryRoot::CurrentUser, key, "Text") == RegistryValue(text));

    RegistryKey open = 0;
    FUZZ_CHECK(registry.openKey(RegistryRoot::CurrentUser, key, reg::KEY_WRITE_ACCESS, open) == reg::SUCCESS);
    const long written = WriteRegistryData(registry, open, "Number", reg::REG_DWORD_TYPE, text);
    RegistryValue number;
    const long read = ReadRegistryData(registry, open, "Number", number);
    registry.closeKey(open);
    // Text that is a whole 32-bit number is stored as that number; other
    // text is refused, never stored as a made-up value.
    std::int32_t parsed = 0;
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    const bool isNumber = !text.empty() && error == std::errc() && stop == text.data() + text.size();
    if (isNumber) {
        FUZZ_CHECK(written == reg::SUCCESS && read == reg::SUCCESS);
        FUZZ_CHECK(number == RegistryValue(parsed));
    } else {
        FUZZ_CHECK(written != reg::SUCCESS && read == reg::FILE_NOT_FOUND);
    }
    FUZZ_CHECK(registry.openKeys() == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    switch (input.ConsumeIntegralInRange(0, 2)) {
        case 0: ReadFromScript(input); break;
        case 1: WriteToScript(input); break;
        default: RoundTrip(input); break;
    }
    return 0;
}
