#include <gtest/gtest.h>

#include "common/uMyFunc.h"

TEST(Smoke, IntOrZeroReadsDecimal) { EXPECT_EQ(IntOrZero("12"), 12); }
