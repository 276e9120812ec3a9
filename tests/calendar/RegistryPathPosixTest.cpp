#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "calendar/com/RegistryFile.h"

namespace quirn::com {
namespace {

TEST(RegistryFile, DefaultPathHonoursTheEnvironmentPosix) {
    const char* saved = std::getenv(kRegistryEnvironmentVariable);
    const std::string keep = saved ? saved : "";
    setenv(kRegistryEnvironmentVariable, "/tmp/elsewhere/reg.ini", 1);
    EXPECT_EQ(defaultRegistryPath(), "/tmp/elsewhere/reg.ini");
    unsetenv(kRegistryEnvironmentVariable);
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const std::string keepXdg = xdg ? xdg : "";
    setenv("XDG_CONFIG_HOME", "/tmp/cfg", 1);
    EXPECT_EQ(defaultRegistryPath(), "/tmp/cfg/quirn/vorncal-registry.ini");
    if (keepXdg.empty())
        unsetenv("XDG_CONFIG_HOME");
    else
        setenv("XDG_CONFIG_HOME", keepXdg.c_str(), 1);
    if (!keep.empty()) setenv(kRegistryEnvironmentVariable, keep.c_str(), 1);
}

}  // namespace
}  // namespace quirn::com
