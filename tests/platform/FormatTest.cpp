#include <gtest/gtest.h>

#include <string>

#include "platform/Format.h"

namespace quirn {
namespace {

TEST(Format, FormatsAsPrintfDoes) {
    EXPECT_EQ(format("%02d:%02d.%02d,", 9, 5, 7), "09:05.07,");
    EXPECT_EQ(format("COM %d is %s.", 3, "/dev/ttyS2"), "COM 3 is /dev/ttyS2.");
    EXPECT_EQ(format("\\x%02X", 0x1B), "\\x1B");
    EXPECT_EQ(format("%s", ""), "");
}

TEST(Format, LongTextsComeBackWhole) {
    for (size_t length : {254u, 255u, 256u, 257u, 4000u}) {
        const std::string name(length, 'n');
        const std::string text = format("Validate Disabled: %s, %s.", name.c_str(), "Oak");
        EXPECT_EQ(text, "Validate Disabled: " + name + ", Oak.") << length;
    }
}

}  // namespace
}  // namespace quirn
