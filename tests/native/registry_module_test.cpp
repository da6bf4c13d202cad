// The registry module over a fake with advapi32's status codes: what each
// value type reads as, what a write stores, the access asked for, and that
// every key opened is closed again.

#include <gtest/gtest.h>

#include "base/RegistryText.h"
#include "base/registry.h"
#include "fakes/FakeRegistry.h"

namespace hb::test {
namespace {

const std::wstring kKey = L"Software\\HoardbookTest";
constexpr auto kRoot = RegistryRoot::LocalMachine;

// The UTF-16LE bytes of the text, with no terminating zero unless it holds one.
std::vector<std::uint8_t> Bytes(std::wstring_view text) { return ToUtf16LeBytes(text); }
RegistryValue Text(const std::wstring& text) { return RegistryValue(text); }

class RegistryModule : public ::testing::Test {
protected:
    RegistryModule() { registry.createKey(kRoot, kKey); }

    RegistryValue read(const std::wstring& name) { return GetRegistryValue(registry, kRoot, kKey, name); }

    FakeRegistry registry;
};

TEST_F(RegistryModule, AStringReadsAsItsTextWithoutTheTerminatingZero) {
    registry.putString(kRoot, kKey, L"Path", L"C:\\Games\\World of Warcraft\\");
    EXPECT_EQ(read(L"Path"), Text(L"C:\\Games\\World of Warcraft\\"));
}

TEST_F(RegistryModule, AStringWithoutTerminatingZeroLosesItsLastCharacter) {
    registry.put(kRoot, kKey, L"Path", reg::REG_SZ_TYPE, Bytes(L"abc"));
    EXPECT_EQ(read(L"Path"), Text(L"ab"));
}

TEST_F(RegistryModule, AStringOfNoWholeCharacterIsNothingAndALoneZeroIsTheEmptyString) {
    registry.put(kRoot, kKey, L"NoBytes", reg::REG_SZ_TYPE, {});
    registry.put(kRoot, kKey, L"OneByte", reg::REG_SZ_TYPE, {'a'});
    registry.put(kRoot, kKey, L"OnlyZero", reg::REG_SZ_TYPE, {0, 0});
    registry.put(kRoot, kKey, L"OddTail", reg::REG_SZ_TYPE, {'a', 0, 'b', 0, 0, 0, 'x'});
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read(L"NoBytes")));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read(L"OneByte")));
    EXPECT_EQ(read(L"OnlyZero"), Text(L""));
    EXPECT_EQ(read(L"OddTail"), Text(L"ab")) << "half a character is no character";
}

TEST_F(RegistryModule, ADwordReadsAsANumberNotAsText) {
    registry.put(kRoot, kKey, L"Small", reg::REG_DWORD_TYPE, {0x2A, 0, 0, 0});
    registry.put(kRoot, kKey, L"Negative", reg::REG_DWORD_TYPE, {0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(read(L"Small"), RegistryValue(std::int32_t{42}));
    EXPECT_EQ(read(L"Negative"), RegistryValue(std::int32_t{-1}));
}

TEST_F(RegistryModule, OtherTypesAndMissingValuesOrKeysReadAsNothing) {
    registry.put(kRoot, kKey, L"Expand", reg::REG_EXPAND_SZ_TYPE, Bytes(std::wstring(L"%ProgramFiles%\0", 15)));
    registry.put(kRoot, kKey, L"Binary", reg::REG_BINARY_TYPE, {1, 2, 3});
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read(L"Expand")));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read(L"Binary")));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read(L"Missing")));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(
        GetRegistryValue(registry, kRoot, L"Software\\Nowhere", L"Path")));
}

TEST_F(RegistryModule, ReadRegistryDataGivesTheStatusAndLeavesTheValueUntouchedOnFailure) {
    registry.put(kRoot, kKey, L"Expand", reg::REG_EXPAND_SZ_TYPE, Bytes(std::wstring(L"x\0", 2)));
    registry.putString(kRoot, kKey, L"Text", L"t");
    RegistryKey key = 0;
    ASSERT_EQ(registry.openKey(kRoot, kKey, reg::KEY_QUERY_VALUE_ACCESS, key), reg::SUCCESS);

    RegistryValue value = std::int32_t{7};
    EXPECT_EQ(ReadRegistryData(registry, key, L"Expand", value), -1);
    EXPECT_EQ(value, RegistryValue(std::int32_t{7}));  // untouched
    EXPECT_EQ(ReadRegistryData(registry, key, L"Missing", value), reg::FILE_NOT_FOUND);
    EXPECT_EQ(value, RegistryValue(std::int32_t{7}));
    EXPECT_EQ(ReadRegistryData(registry, key, L"Text", value), reg::SUCCESS);
    EXPECT_EQ(value, Text(L"t"));
    registry.closeKey(key);
}

TEST_F(RegistryModule, WritingAStringStoresItsBytesAndOneTerminatingZero) {
    SetRegistryString(registry, kRoot, kKey, L"Value", L"abc");
    const auto* stored = registry.find(kRoot, kKey, L"Value");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->type, reg::REG_SZ_TYPE);
    EXPECT_EQ(stored->data, (std::vector<std::uint8_t>{'a', 0, 'b', 0, 'c', 0, 0, 0}));
    EXPECT_EQ(read(L"Value"), Text(L"abc"));

    SetRegistryString(registry, kRoot, kKey, L"Empty", L"");
    EXPECT_EQ(registry.find(kRoot, kKey, L"Empty")->data, (std::vector<std::uint8_t>{0, 0}));
}

TEST_F(RegistryModule, TextInAnyScriptRoundTripsUnchanged) {
    // What an ANSI round trip on a Western system turns into "L", "????" or
    // "??": a path that does not exist, or a wildcard in a folder listing.
    const std::wstring texts[] = {
        L"C:\\Users\\\u0141ukasz\\Tools\\HoardbookUploader.exe",
        L"D:\\\u0418\u0433\u0440\u044B\\World of Warcraft\\",
        L"E:\\\u6E38\u620F\\\u9B54\u517D\u4E16\u754C",
        L"F:\\\U0001F409 \u00E9\u00E8",
    };
    for (const std::wstring& text : texts) {
        SetRegistryString(registry, kRoot, kKey, L"Value", text);
        EXPECT_EQ(read(L"Value"), Text(text));
    }
    // The stored bytes are the UTF-16LE code units: \u0141 is 41 01.
    SetRegistryString(registry, kRoot, kKey, L"Value", L"\u0141");
    EXPECT_EQ(registry.find(kRoot, kKey, L"Value")->data, (std::vector<std::uint8_t>{0x41, 0x01, 0, 0}));
    // A name outside the code page names its own value.
    SetRegistryString(registry, kRoot, kKey, L"\u0141ukasz", L"a");
    SetRegistryString(registry, kRoot, kKey, L"Lukasz", L"b");
    EXPECT_EQ(read(L"\u0141ukasz"), Text(L"a"));
    EXPECT_EQ(read(L"Lukasz"), Text(L"b"));
}

TEST_F(RegistryModule, WritingToAMissingKeyCreatesAndStoresNothing) {
    SetRegistryString(registry, kRoot, L"Software\\Nowhere", L"Value", L"abc");
    EXPECT_FALSE(registry.keyExists(kRoot, L"Software\\Nowhere"));
    EXPECT_EQ(registry.find(kRoot, L"Software\\Nowhere", L"Value"), nullptr);
}

TEST_F(RegistryModule, AKeyWithoutWriteRightsIsLeftAlone) {
    registry.putString(kRoot, kKey, L"Value", L"old");
    registry.denyWrite(kRoot, kKey);
    SetRegistryString(registry, kRoot, kKey, L"Value", L"new");
    DeleteRegistryValue(registry, kRoot, kKey, L"Value");
    EXPECT_EQ(read(L"Value"), Text(L"old"));
    EXPECT_EQ(registry.openKeys(), 0);
}

TEST_F(RegistryModule, DeletingRemovesTheValueAndAMissingOneIsNoError) {
    registry.putString(kRoot, kKey, L"Value", L"x");
    DeleteRegistryValue(registry, kRoot, kKey, L"Value");
    EXPECT_EQ(registry.find(kRoot, kKey, L"Value"), nullptr);
    DeleteRegistryValue(registry, kRoot, kKey, L"Value");
    DeleteRegistryValue(registry, kRoot, L"Software\\Nowhere", L"Value");
    EXPECT_TRUE(registry.keyExists(kRoot, kKey));
    EXPECT_EQ(registry.openKeys(), 0);
}

TEST_F(RegistryModule, EveryKeyIsOpenedInThe32BitViewWithTheRightsItNeedsAndClosed) {
    registry.putString(kRoot, kKey, L"Value", L"x");
    read(L"Value");
    SetRegistryString(registry, kRoot, kKey, L"Value", L"y");
    DeleteRegistryValue(registry, kRoot, kKey, L"Value");
    read(L"Value");
    EXPECT_EQ(registry.accessRequested,
              (std::vector<std::uint32_t>{0x0201, 0x023F, 0x023F, 0x0201}));
    EXPECT_EQ(registry.openKeys(), 0);
}

TEST_F(RegistryModule, WriteRegistryDataStoresNumbersAndRefusesOtherTypes) {
    RegistryKey key = 0;
    ASSERT_EQ(registry.openKey(kRoot, kKey, reg::KEY_WRITE_ACCESS, key), reg::SUCCESS);

    EXPECT_EQ(WriteRegistryData(registry, key, L"Number", reg::REG_DWORD_TYPE, std::int32_t{-2}), reg::SUCCESS);
    EXPECT_EQ(registry.find(kRoot, kKey, L"Number")->data, (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(WriteRegistryData(registry, key, L"FromText", reg::REG_DWORD_TYPE, std::wstring(L"1234")), reg::SUCCESS);
    EXPECT_EQ(registry.find(kRoot, kKey, L"FromText")->data, (std::vector<std::uint8_t>{0xD2, 0x04, 0, 0}));
    // Text that is no number is not written as some made-up number.
    EXPECT_EQ(WriteRegistryData(registry, key, L"Bad", reg::REG_DWORD_TYPE, std::wstring(L"12abc")), -1);
    EXPECT_EQ(registry.find(kRoot, kKey, L"Bad"), nullptr);
    // Types the module does not handle write nothing and report success.
    EXPECT_EQ(WriteRegistryData(registry, key, L"Bin", reg::REG_BINARY_TYPE, std::wstring(L"x")), reg::SUCCESS);
    EXPECT_EQ(registry.find(kRoot, kKey, L"Bin"), nullptr);
    // A number written as a string becomes its decimal text.
    EXPECT_EQ(WriteRegistryData(registry, key, L"NumText", reg::REG_SZ_TYPE, std::int32_t{15}), reg::SUCCESS);
    EXPECT_EQ(registry.find(kRoot, kKey, L"NumText")->data, Bytes(std::wstring(L"15\0", 3)));
    registry.closeKey(key);
}

}  // namespace
}  // namespace hb::test
