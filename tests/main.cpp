// main.cpp - the test binary's entry: death tests re-run the binary for each exit path, and each
// test finds the engine and GL as a fresh process would.
#include "support/TestIsolation.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    testing::UnitTest::GetInstance()->listeners().Append(new bm::test::EngineStateGuard);
    return RUN_ALL_TESTS();
}
