#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "plans/DatabaseFiles.h"
#include "plans/LocationReadState.h"
#include "plans/PlanDatabase.h"
#include "plans/SnapshotBuilder.h"

namespace quirn {
namespace {

constexpr std::size_t kRecordSize = 1000;

int32_t int32At(const std::string& bytes, std::size_t at) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data()) + at;
    return static_cast<int32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
}

struct RecordKey {
    int masterGroup, group, number;
    friend bool operator==(const RecordKey&, const RecordKey&) = default;
};

// The (master group, group, location) of every record, checked against the count in front.
std::vector<RecordKey> recordKeys(const std::string& bytes) {
    std::vector<RecordKey> keys;
    for (std::size_t at = 4; at + kRecordSize <= bytes.size(); at += kRecordSize)
        keys.push_back({int32At(bytes, at), int32At(bytes, at + 4), int32At(bytes, at + 8)});
    EXPECT_EQ(bytes.size(), 4 + keys.size() * kRecordSize);
    EXPECT_EQ(static_cast<std::size_t>(int32At(bytes, 0)), keys.size());
    return keys;
}

void addGroup(PlanDatabase& db, int masterGroup, int group, int locations) {
    for (int n = 1; n <= locations; ++n) {
        Location l(masterGroup, group, n);
        l.readState = static_cast<int32_t>(ReadState::ValidatePassed);
        l.programBytes.fill(static_cast<unsigned char>(group * 16 + n));
        db.addLocation(l);
    }
}

TEST(SnapshotBuilder, SlicesLayOutTheSameBytesAsOneGo) {
    PlanDatabase db;
    for (int mg = 1; mg <= 2; ++mg)
        for (int g = 1; g <= 3; ++g) addGroup(db, mg, g, 4);
    db.findLocation(2, 2, 3)->readState = static_cast<int32_t>(ReadState::ConnectionFailed);
    SnapshotBuilder builder;
    builder.begin(db);
    int slices = 1;
    while (!builder.step(db, 5)) ++slices;  // two groups a slice
    EXPECT_EQ(slices, 3);
    EXPECT_EQ(builder.take().fileBytes(), snapshotBytes(db));
    EXPECT_FALSE(builder.building());
}

// Only the records' heads and the programs kept are copied on the records' thread; the bytes
// bound of a slice counts them, and the file laid out from them is the whole file.
TEST(SnapshotBuilder, ASliceIsBoundedByTheBytesItCopies) {
    PlanDatabase db;
    for (int g = 1; g <= 6; ++g) addGroup(db, 1, g, 4);  // every record keeps its program
    constexpr std::size_t kFiveRecords = 5 * kRecordSize;
    SnapshotBuilder builder;
    builder.begin(db);
    int slices = 1;
    while (!builder.step(db, SIZE_MAX, kFiveRecords)) ++slices;
    EXPECT_EQ(slices, 3);  // two groups of four a slice: the second passes the bound
    SnapshotCopy copy = builder.take();
    EXPECT_EQ(copy.records, 24u);
    const std::string withPrograms = copy.fileBytes();
    EXPECT_EQ(withPrograms, snapshotBytes(db));
    // Record 6 is (1, 2, 3): its head, then its program as the location holds it.
    const std::size_t sixth = 4 + 6 * kRecordSize;
    EXPECT_EQ(int32At(withPrograms, sixth + 8), 3);
    EXPECT_EQ(int32At(withPrograms, sixth + 24), static_cast<int32_t>(ReadState::ValidatePassed));
    EXPECT_EQ(withPrograms.substr(sixth + 32, kRecordSize - 32),
              std::string(kRecordSize - 32, static_cast<char>(2 * 16 + 3)));

    // Without programs a record copies only its head: the same bound takes every group.
    db.visitLocations(
        [](Location& l) { l.readState = static_cast<int32_t>(ReadState::ConnectionFailed); });
    builder.begin(db);
    EXPECT_TRUE(builder.step(db, SIZE_MAX, kFiveRecords));
    copy = builder.take();
    std::size_t copied = 0;
    for (const std::string& group : copy.groups) copied += group.size();
    EXPECT_EQ(copied, 24 * SnapshotBuilder::kRecordHeadSize);
    const std::string bytes = copy.fileBytes();
    EXPECT_EQ(bytes, snapshotBytes(db));
    EXPECT_EQ(bytes.size(), 4 + 24 * kRecordSize);
    EXPECT_EQ(bytes.substr(sixth + 32, kRecordSize - 32), std::string(kRecordSize - 32, '\0'));
}

// Groups come into a master group in number order, so one may be added in front of the place a
// build stopped at: the build neither copies a group twice nor skips one it had not reached,
// and each group is copied as it stood at its slice.
TEST(SnapshotBuilder, GroupsAddedBetweenSlicesShiftNoGroupInOrOut) {
    PlanDatabase db;
    addGroup(db, 1, 2, 3);
    addGroup(db, 1, 4, 3);
    addGroup(db, 2, 2, 3);
    SnapshotBuilder builder;
    builder.begin(db);
    ASSERT_FALSE(builder.step(db, 1));  // group 2 of master group 1
    addGroup(db, 1, 1, 2);              // in front of the place: the next snapshot's
    addGroup(db, 1, 3, 2);              // ahead of it: this one's
    db.findLocation(1, 2, 1)->readState = static_cast<int32_t>(ReadState::ConnectionFailed);
    db.findLocation(2, 2, 1)->readState = static_cast<int32_t>(ReadState::ConnectionFailed);
    while (!builder.step(db, 1)) {
    }
    const std::string bytes = builder.take().fileBytes();
    std::vector<RecordKey> expected;
    for (auto [mg, g, count] : {std::tuple{1, 2, 3}, {1, 3, 2}, {1, 4, 3}, {2, 2, 3}})
        for (int n = 1; n <= count; ++n) expected.push_back({mg, g, n});
    EXPECT_EQ(recordKeys(bytes), expected);
    EXPECT_EQ(int32At(bytes, 4 + 24), static_cast<int32_t>(ReadState::ValidatePassed));
    const std::size_t lastGroup = 4 + 8 * kRecordSize;  // (2, 2, 1)
    EXPECT_EQ(int32At(bytes, lastGroup + 24), static_cast<int32_t>(ReadState::ConnectionFailed));
}

}  // namespace
}  // namespace quirn
