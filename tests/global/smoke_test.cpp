#include <gtest/gtest.h>
#include <zor/core.h>
TEST(Smoke, Format) { EXPECT_EQ(zor::xformat("a$b$c", 1), QString("a1b$c")); }
