#include <gtest/gtest.h>

#include <string>

#include "comms/ImsiList.h"
#include "platform/FileSystem.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

TEST(ImsiList, ReadsTheAgencyAndEveryImsiWhateverTheLineEnds) {
    ImsiList list;
    list.parse(
        "agencyID,4711,extra\r\nimsi,310150000000001\nnoise,1\rimsi,310150000000002,x\n"
        "IMSI,9\nimsi\nimsi,\n");
    EXPECT_EQ(list.agencyId(), "4711");
    ASSERT_EQ(list.imsis().size(), 2u);
    EXPECT_EQ(list.imsis()[0], "310150000000001");
    EXPECT_EQ(list.imsis()[1], "310150000000002");
}

TEST(ImsiList, ReadsALongLineAsSeveral) {
    ImsiList list;
    std::string filler(ImsiList::kLineChunk, 'z');
    list.parse(filler + "imsi,42\n" + std::string(500, 'q'));
    ASSERT_EQ(list.imsis().size(), 1u);
    EXPECT_EQ(list.imsis()[0], "42");
    // The key must start a chunk: one character off and it is noise.
    ImsiList off;
    off.parse(filler + "-imsi,42\n");
    EXPECT_TRUE(off.empty());
}

TEST(ImsiList, AMissingFileIsCreatedEmpty) {
    test::TempFolder folder;
    std::string path = folder.file(ImsiList::kFileName);
    ImsiList list;
    EXPECT_TRUE(list.load(path));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.agencyId(), "Not Read Yet");
    EXPECT_TRUE(fileExists(path));
    ASSERT_TRUE(test::writeFile(path, "imsi,7\n"));
    EXPECT_TRUE(list.load(path));
    EXPECT_EQ(list.imsis().size(), 1u);
}

}  // namespace
}  // namespace quirn
