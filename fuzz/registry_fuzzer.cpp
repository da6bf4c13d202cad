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

#include "base/RegistryText.h"
#include "base/registry.h"
#include "fakes/FakeRegistry.h"
#include "support/FuzzSupport.h"

using namespace hb;

namespace {

class ScriptedRegistry : public Registry {
public:
    explicit ScriptedRegistry(FuzzedDataProvider& input) : input_(input) {}

    long openKey(RegistryRoot, const std::wstring&, std::uint32_t, RegistryKey& key) override {
        const long status = Status();
        key = 0;
        if (status != reg::SUCCESS) return status;
        key = next_++;
        open_.insert(key);
        return status;
    }

    long queryValue(RegistryKey key, const std::wstring&, std::uint32_t& type, std::uint8_t* data,
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

    long setValue(RegistryKey key, const std::wstring&, std::uint32_t type, const std::uint8_t* data,
                  std::uint32_t size) override {
        FUZZ_CHECK(open_.count(key) == 1);
        written_.assign(reinterpret_cast<const char*>(data), size);
        writtenType_ = type;
        return Status();
    }

    long deleteValue(RegistryKey key, const std::wstring&) override {
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

// Text of up to maxLength characters anywhere in the 16-bit range but the
// surrogates (whose lone halves no registry string can round-trip where
// wchar_t is 32 bits wide), and sometimes one beyond it.
std::wstring WideText(FuzzedDataProvider& input, std::size_t maxLength) {
    std::wstring text;
    const std::size_t length = input.ConsumeIntegralInRange<std::size_t>(0, maxLength);
    for (std::size_t i = 0; i < length && input.remaining_bytes() > 0; ++i) {
        auto c = input.ConsumeIntegral<std::uint16_t>();
        if (c >= 0xD800 && c <= 0xDFFF) c = static_cast<std::uint16_t>(c - 0xD800 + 0x0400);
        text.push_back(static_cast<wchar_t>(c));
    }
    if (sizeof(wchar_t) == 4 && input.ConsumeBool()) text.push_back(static_cast<wchar_t>(0x1F409));
    return text;
}

RegistryRoot PickRoot(FuzzedDataProvider& input) {
    return input.PickValueInArray({RegistryRoot::CurrentUser, RegistryRoot::LocalMachine});
}

void ReadFromScript(FuzzedDataProvider& input) {
    ScriptedRegistry registry(input);
    const RegistryValue value = GetRegistryValue(registry, PickRoot(input), L"Software\\Key", L"Value");
    FUZZ_CHECK(registry.allClosed());
    if (const auto* text = std::get_if<std::wstring>(&value)) {
        // The read that succeeded gave these bytes (and the buffer's zeros
        // where it gave fewer than it claimed): their whole UTF-16 code
        // units, less the terminating one.
        FUZZ_CHECK(registry.lastStatus_ == reg::SUCCESS);
        const std::size_t units = registry.lastSize_ / 2;
        FUZZ_CHECK(units >= 1);
        std::string expected = registry.lastWritten_;
        expected.resize(registry.lastSize_, '\0');
        FUZZ_CHECK(*text == FromUtf16LeBytes(reinterpret_cast<const std::uint8_t*>(expected.data()), (units - 1) * 2));
    } else if (std::holds_alternative<std::int32_t>(value)) {
        FUZZ_CHECK(registry.lastStatus_ == reg::SUCCESS);
    }
}

void WriteToScript(FuzzedDataProvider& input) {
    ScriptedRegistry registry(input);
    const std::wstring text = WideText(input, 32);
    if (input.ConsumeBool()) {
        SetRegistryString(registry, PickRoot(input), L"Software\\Key", L"Value", text);
        if (!registry.written_.empty()) {
            FUZZ_CHECK(registry.writtenType_ == reg::REG_SZ_TYPE);
            const std::vector<std::uint8_t> units = ToUtf16LeBytes(text);
            FUZZ_CHECK(registry.written_ == std::string(units.begin(), units.end()) + std::string(2, '\0'));
        }
    } else {
        DeleteRegistryValue(registry, PickRoot(input), L"Software\\Key", L"Value");
    }
    FUZZ_CHECK(registry.allClosed());
}

// Through an honest registry, what is written reads back.
void RoundTrip(FuzzedDataProvider& input) {
    test::FakeRegistry registry;
    const std::wstring key = L"Software\\HoardbookUploader";
    registry.createKey(RegistryRoot::CurrentUser, key);
    const std::wstring text = WideText(input, 64);
    SetRegistryString(registry, RegistryRoot::CurrentUser, key, L"Text", text);
    FUZZ_CHECK(GetRegistryValue(registry, RegistryRoot::CurrentUser, key, L"Text") == RegistryValue(text));

    RegistryKey open = 0;
    FUZZ_CHECK(registry.openKey(RegistryRoot::CurrentUser, key, reg::KEY_WRITE_ACCESS, open) == reg::SUCCESS);
    const long written = WriteRegistryData(registry, open, L"Number", reg::REG_DWORD_TYPE, text);
    RegistryValue number;
    const long read = ReadRegistryData(registry, open, L"Number", number);
    registry.closeKey(open);
    // Text that is a whole 32-bit number is stored as that number; other
    // text is refused, never stored as a made-up value.
    std::string ascii;
    for (wchar_t c : text) ascii.push_back(c >= 0 && c < 0x80 ? static_cast<char>(c) : '\x01');
    std::int32_t parsed = 0;
    const auto [stop, error] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), parsed);
    const bool isNumber = !ascii.empty() && error == std::errc() && stop == ascii.data() + ascii.size();
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
