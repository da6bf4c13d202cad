// The registry module over a fake with advapi32's status codes: what each
// value type reads as, what a write stores, the access asked for, and that
// every key opened is closed again.

#include <gtest/gtest.h>

#include "fakes/FakeRegistry.h"
#include "settings/registry.h"

namespace hb::test {
namespace {

const std::string kKey = "Software\\HoardbookTest";
constexpr auto kRoot = RegistryRoot::LocalMachine;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

class RegistryModule : public ::testing::Test {
protected:
    RegistryModule() { registry.createKey(kRoot, kKey); }

    RegistryValue read(const std::string& name) { return GetRegistryValue(registry, kRoot, kKey, name); }

    FakeRegistry registry;
};

TEST_F(RegistryModule, AStringReadsAsItsTextWithoutTheTerminatingZero) {
    registry.putString(kRoot, kKey, "Path", "C:\\Games\\World of Warcraft\\");
    EXPECT_EQ(read("Path"), RegistryValue(std::string("C:\\Games\\World of Warcraft\\")));
}

TEST_F(RegistryModule, AStringWithoutTerminatingZeroLosesItsLastCharacter) {
    registry.put(kRoot, kKey, "Path", reg::REG_SZ_TYPE, Bytes("abc"));
    EXPECT_EQ(read("Path"), RegistryValue(std::string("ab")));
}

TEST_F(RegistryModule, AZeroByteStringIsNothingAndALoneZeroIsTheEmptyString) {
    registry.put(kRoot, kKey, "NoBytes", reg::REG_SZ_TYPE, {});
    registry.put(kRoot, kKey, "OnlyZero", reg::REG_SZ_TYPE, {0});
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read("NoBytes")));
    EXPECT_EQ(read("OnlyZero"), RegistryValue(std::string()));
}

TEST_F(RegistryModule, ADwordReadsAsANumberNotAsText) {
    registry.put(kRoot, kKey, "Small", reg::REG_DWORD_TYPE, {0x2A, 0, 0, 0});
    registry.put(kRoot, kKey, "Negative", reg::REG_DWORD_TYPE, {0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(read("Small"), RegistryValue(std::int32_t{42}));
    EXPECT_EQ(read("Negative"), RegistryValue(std::int32_t{-1}));
}

TEST_F(RegistryModule, OtherTypesAndMissingValuesOrKeysReadAsNothing) {
    registry.put(kRoot, kKey, "Expand", reg::REG_EXPAND_SZ_TYPE, Bytes(std::string("%ProgramFiles%\0", 15)));
    registry.put(kRoot, kKey, "Binary", reg::REG_BINARY_TYPE, {1, 2, 3});
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read("Expand")));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read("Binary")));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(read("Missing")));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(
        GetRegistryValue(registry, kRoot, "Software\\Nowhere", "Path")));
}

TEST_F(RegistryModule, ReadRegistryDataGivesTheStatusAndLeavesTheValueUntouchedOnFailure) {
    registry.put(kRoot, kKey, "Expand", reg::REG_EXPAND_SZ_TYPE, Bytes(std::string("x\0", 2)));
    registry.putString(kRoot, kKey, "Text", "t");
    RegistryKey key = 0;
    ASSERT_EQ(registry.openKey(kRoot, kKey, reg::KEY_QUERY_VALUE_ACCESS, key), reg::SUCCESS);

    RegistryValue value = std::int32_t{7};
    EXPECT_EQ(ReadRegistryData(registry, key, "Expand", value), -1);
    EXPECT_EQ(value, RegistryValue(std::int32_t{7}));  // untouched
    EXPECT_EQ(ReadRegistryData(registry, key, "Missing", value), reg::FILE_NOT_FOUND);
    EXPECT_EQ(value, RegistryValue(std::int32_t{7}));
    EXPECT_EQ(ReadRegistryData(registry, key, "Text", value), reg::SUCCESS);
    EXPECT_EQ(value, RegistryValue(std::string("t")));
    registry.closeKey(key);
}

TEST_F(RegistryModule, WritingAStringStoresItsBytesAndOneTerminatingZero) {
    SetRegistryString(registry, kRoot, kKey, "Value", "abc");
    const auto* stored = registry.find(kRoot, kKey, "Value");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->type, reg::REG_SZ_TYPE);
    EXPECT_EQ(stored->data, (std::vector<std::uint8_t>{'a', 'b', 'c', 0}));
    EXPECT_EQ(read("Value"), RegistryValue(std::string("abc")));

    SetRegistryString(registry, kRoot, kKey, "Empty", "");
    EXPECT_EQ(registry.find(kRoot, kKey, "Empty")->data, std::vector<std::uint8_t>{0});
}

TEST_F(RegistryModule, WritingToAMissingKeyCreatesAndStoresNothing) {
    SetRegistryString(registry, kRoot, "Software\\Nowhere", "Value", "abc");
    EXPECT_FALSE(registry.keyExists(kRoot, "Software\\Nowhere"));
    EXPECT_EQ(registry.find(kRoot, "Software\\Nowhere", "Value"), nullptr);
}

TEST_F(RegistryModule, AKeyWithoutWriteRightsIsLeftAlone) {
    registry.putString(kRoot, kKey, "Value", "old");
    registry.denyWrite(kRoot, kKey);
    SetRegistryString(registry, kRoot, kKey, "Value", "new");
    DeleteRegistryValue(registry, kRoot, kKey, "Value");
    EXPECT_EQ(read("Value"), RegistryValue(std::string("old")));
    EXPECT_EQ(registry.openKeys(), 0);
}

TEST_F(RegistryModule, DeletingRemovesTheValueAndAMissingOneIsNoError) {
    registry.putString(kRoot, kKey, "Value", "x");
    DeleteRegistryValue(registry, kRoot, kKey, "Value");
    EXPECT_EQ(registry.find(kRoot, kKey, "Value"), nullptr);
    DeleteRegistryValue(registry, kRoot, kKey, "Value");
    DeleteRegistryValue(registry, kRoot, "Software\\Nowhere", "Value");
    EXPECT_TRUE(registry.keyExists(kRoot, kKey));
    EXPECT_EQ(registry.openKeys(), 0);
}

TEST_F(RegistryModule, EveryKeyIsOpenedInThe32BitViewWithTheRightsItNeedsAndClosed) {
    registry.putString(kRoot, kKey, "Value", "x");
    read("Value");
    SetRegistryString(registry, kRoot, kKey, "Value", "y");
    DeleteRegistryValue(registry, kRoot, kKey, "Value");
    read("Value");
    EXPECT_EQ(registry.accessRequested,
              (std::vector<std::uint32_t>{0x0201, 0x023F, 0x023F, 0x0201}));
    EXPECT_EQ(registry.openKeys(), 0);
}

TEST_F(RegistryModule, WriteRegistryDataStoresNumbersAndRefusesOtherTypes) {
    RegistryKey key = 0;
    ASSERT_EQ(registry.openKey(kRoot, kKey, reg::KEY_WRITE_ACCESS, key), reg::SUCCESS);

    EXPECT_EQ(WriteRegistryData(registry, key, "Number", reg::REG_DWORD_TYPE, std::int32_t{-2}), reg::SUCCESS);
    EXPECT_EQ(registry.find(kRoot, kKey, "Number")->data, (std::vector<std::uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(WriteRegistryData(registry, key, "FromText", reg::REG_DWORD_TYPE, std::string("1234")), reg::SUCCESS);
    EXPECT_EQ(registry.find(kRoot, kKey, "FromText")->data, (std::vector<std::uint8_t>{0xD2, 0x04, 0, 0}));
    // Text that is no number is not written as some made-up number.
    EXPECT_EQ(WriteRegistryData(registry, key, "Bad", reg::REG_DWORD_TYPE, std::string("12abc")), -1);
    EXPECT_EQ(registry.find(kRoot, kKey, "Bad"), nullptr);
    // Types the module does not handle write nothing and report success.
    EXPECT_EQ(WriteRegistryData(registry, key, "Bin", reg::REG_BINARY_TYPE, std::string("x")), reg::SUCCESS);
    EXPECT_EQ(registry.find(kRoot, kKey, "Bin"), nullptr);
    // A number written as a string becomes its decimal text.
    EXPECT_EQ(WriteRegistryData(registry, key, "NumText", reg::REG_SZ_TYPE, std::int32_t{15}), reg::SUCCESS);
    EXPECT_EQ(registry.find(kRoot, kKey, "NumText")->data, Bytes(std::string("15\0", 3)));
    registry.closeKey(key);
}

}  // namespace
}  // namespace hb::test
