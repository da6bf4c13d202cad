#include <gtest/gtest.h>
#include "shell/MessageLog.h"
TEST(Placeholder, Builds) { EXPECT_EQ(hb::WithLogEntry(L"", L"t", L"m"), L"t: m\r\n"); }
