#pragma once
// Trusts the test CA (HB_TEST_CA) for the whole test program, before its
// first test: register it once per program with
//   const auto* trusted = ::testing::AddGlobalTestEnvironment(new hb::test::TestCaEnvironment);

#include <gtest/gtest.h>

#include <string>

#include "support/TrustedTestCa.h"

namespace hb::test {

class TestCaEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        const std::wstring error = TrustTestCa();
        ASSERT_TRUE(error.empty()) << "the test CA is not trusted: " << std::string(error.begin(), error.end());
    }
};

}  // namespace hb::test
