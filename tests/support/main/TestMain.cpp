#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

// The time zone, the locale and the Qt platform are fixed before anything else runs — before
// main and before the test files' own static values (a start time built from local fields) are
// computed — so that a test binary started by hand gives the same results as under CTest: dates,
// daylight saving and month names all depend on them.
[[gnu::constructor(101)]] void fixTestEnvironment() {
    setenv("TZ", "America/New_York", 1);
    setenv("LC_ALL", "C", 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    tzset();
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
