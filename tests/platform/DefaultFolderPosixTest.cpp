#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/WorkingFolder.h"

// Where the station finds its folder when none is given: from the environment on POSIX systems.
namespace quirn {
namespace {

TEST(WorkingFolder, DefaultComesFromTheEnvironmentEachCall) {
    setenv("QUIRN_ROOT", "/srv/quirn", 1);
    EXPECT_EQ(defaultWorkingFolder().path(), "/srv/quirn/");
    setenv("QUIRN_ROOT", "/srv/other", 1);
    EXPECT_EQ(defaultWorkingFolder().path(), "/srv/other/");
    unsetenv("QUIRN_ROOT");
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    setenv("HOME", "/home/tester", 1);
    EXPECT_EQ(defaultWorkingFolder().path(), "/home/tester/vorn/quirn3/");
    if (home)
        setenv("HOME", savedHome.c_str(), 1);
    else
        unsetenv("HOME");
}

}  // namespace
}  // namespace quirn
