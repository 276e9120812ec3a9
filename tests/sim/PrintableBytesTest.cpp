#include <gtest/gtest.h>

#include <string>

#include "sim/PrintableBytes.h"

namespace quirn::sim {
namespace {

TEST(PrintableBytesTest, EscapesWhatIsNotPrintableAndCutsLongRuns) {
    EXPECT_EQ(printableBytes("@M01021#=9?<"), "@M01021#=9?<");
    EXPECT_EQ(printableBytes(std::string("S\x02\x07\0\x80", 5)), "S\\x02\\x07\\x00\\x80");
    EXPECT_EQ(printableBytes("a\\b\r\n"), "a\\x5Cb\\x0D\\x0A");
    EXPECT_EQ(printableBytes(std::string(100, 'x'), 4), "xxxx... (100 bytes)");
    EXPECT_EQ(printableBytes(""), "");
}

}  // namespace
}  // namespace quirn::sim
