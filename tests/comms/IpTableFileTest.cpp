#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comms/IpTableFile.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

std::string u32(unsigned v) {
    return std::string{static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                       static_cast<char>((v >> 16) & 0xFF), static_cast<char>(v >> 24)};
}

TEST(IpTableFile, WritesCountEntriesAndAClosingZeroLittleEndian) {
    std::vector<IpTableRecord> records{{"127.0.0.5", true, "Gym"},
                                       {"127.0.0.6", false, "127.0.0.6"}};
    std::string expected = u32(2) +
                           "\x09"
                           "127.0.0.5" +
                           u32(0) + u32(1) +
                           "\x03"
                           "Gym" +
                           "\x09"
                           "127.0.0.6" +
                           u32(0) + u32(0) +
                           "\x09"
                           "127.0.0.6" +
                           u32(0);
    EXPECT_EQ(IpTableFile::encode(records), expected);
    EXPECT_EQ(IpTableFile::encode({}), u32(0) + u32(0));
}

TEST(IpTableFile, CountsLongStringsWithEscapes) {
    struct Case {
        std::size_t length;
        std::string prefix;
    };
    const Case cases[] = {
        {0, std::string(1, '\0')},
        {254, "\xFE"},
        {255, std::string("\xFF\xFF\x00", 3)},
        {65533, "\xFF\xFD\xFF"},
        {65534, std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7)},
        {70000, std::string("\xFF\xFF\xFF\x70\x11\x01\x00", 7)},
    };
    for (const Case& c : cases) {
        std::vector<IpTableRecord> records{{std::string(c.length, 'a'), true, "n"}};
        std::string bytes = IpTableFile::encode(records);
        EXPECT_EQ(bytes.substr(4, c.prefix.size()), c.prefix) << c.length;
        auto back = IpTableFile::decode(bytes);
        ASSERT_TRUE(back) << c.length;
        EXPECT_EQ(*back, records) << c.length;
    }
}

TEST(IpTableFile, RefusesEveryCutOfAWholeTableWithoutReadingPastIt) {
    std::vector<IpTableRecord> records{{"127.0.0.5", true, "Gym"},
                                       {std::string(300, 'x'), false, ""}};
    std::string bytes = IpTableFile::encode(records);
    for (std::size_t n = 0; n < bytes.size(); ++n)
        EXPECT_FALSE(IpTableFile::decode(bytes.substr(0, n))) << n;
    EXPECT_TRUE(IpTableFile::decode(bytes));
    // A count far beyond the bytes and a string length beyond them are refused.
    EXPECT_FALSE(IpTableFile::decode(u32(0xFFFFFFFF) + u32(0)));
    EXPECT_FALSE(IpTableFile::decode(u32(1) + "\x20"
                                              "short"));
}

TEST(IpTableFile, ReadsBackWhatItWrote) {
    test::TempFolder folder;
    std::string path = folder.file(IpTableFile::kFileName);
    EXPECT_FALSE(IpTableFile::read(path));
    std::vector<IpTableRecord> records{{"127.0.0.1", true, "127.0.0.1"},
                                       {"127.0.3.4", false, "Shop"}};
    ASSERT_TRUE(IpTableFile::write(path, records));
    auto back = IpTableFile::read(path);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, records);
}

}  // namespace
}  // namespace quirn
