#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace {

void setVariable(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

// The time zone, the locale and the Qt platform are fixed before anything else runs — before
// main and before the test files' own static values (a start time built from local fields) are
// computed — so that a test binary started by hand gives the same results as under CTest: dates,
// daylight saving and month names all depend on them.
[[gnu::constructor(101)]] void fixTestEnvironment() {
#ifdef _WIN32
    // The Windows C runtime reads the zone in its own form; the rules are the same.
    setVariable("TZ", "EST5EDT");
#else
    setVariable("TZ", "America/New_York");
#endif
    setVariable("LC_ALL", "C");
    setVariable("QT_QPA_PLATFORM", "offscreen");
    tzset();
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
