#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/InputFramer.h"

namespace quirn::sim {
namespace {

struct Row {
    std::string bytes;
    std::vector<FrameKind> kinds;
};

std::string zeros(size_t n) {
    return std::string(n, '\0');
}

TEST(InputFramerTest, CutsEveryMessageKind) {
    const std::string image = "MX40" + std::string(964, 'x');
    const std::vector<Row> rows = {
        {"@D0102AH0AiU#33=>", {FrameKind::Paged}},
        {"@2D0102AH0AiU#0532", {FrameKind::Paged}},
        {"X@R0102o", {FrameKind::PagedRead}},
        {"X@2R0102o", {FrameKind::PagedRead}},
        {"@P#", {FrameKind::PageAll}},
        {"$T" + zeros(10), {FrameKind::BcdTime}},
        {"$M" + zeros(4), {FrameKind::BcdRelay}},
        {"C78" + zeros(3), {FrameKind::ReadMx40}},
        {"C79" + zeros(3), {FrameKind::ReadLr40}},
        {"$Q\x01\x07\x03*05", {FrameKind::QuerySentence}},
        {"$B000000B*00", {FrameKind::BaudSentence}},
        {std::string("$S\x01\x07\x00\x00\x0d", 7) + "xxx*00", {FrameKind::ProgramSentence}},
        {image, {FrameKind::ProgramImage}},
        {zeros(968), {FrameKind::ProgramImage}},
        {"K", {FrameKind::Acknowledge}},
        {"hello", {FrameKind::Junk}},
        {"zz@M01021#=9?<", {FrameKind::Junk, FrameKind::Paged}},
        {"@D01@M01021#=9?<", {FrameKind::Junk, FrameKind::Paged}},
        {"$Zq", {FrameKind::Junk}},
        {"X1", {FrameKind::Junk}},
        {zeros(5) + "K", {FrameKind::Junk, FrameKind::Acknowledge}},
        {std::string("$S\x01\x07\x00\x00\x01", 7),
         {FrameKind::Junk}},  // a length no sentence can have
        {"@P#X@R0102oK", {FrameKind::PageAll, FrameKind::PagedRead, FrameKind::Acknowledge}},
    };
    for (const Row& row : rows) {
        // Whole, and then one byte at a time: the same messages either way.
        for (bool split : {false, true}) {
            InputFramer f;
            std::vector<Frame> frames;
            if (split) {
                for (char c : row.bytes)
                    for (Frame& fr : f.push(std::string(1, c), 0)) frames.push_back(fr);
            } else {
                frames = f.push(row.bytes, 0);
            }
            for (Frame& fr : f.expire(InputFramer::kStaleMs + 1)) frames.push_back(fr);
            // Consecutive junk found in separate pushes counts as one run here.
            std::vector<FrameKind> kinds;
            std::string joined;
            for (const Frame& fr : frames) {
                if (!(fr.kind == FrameKind::Junk && !kinds.empty() &&
                      kinds.back() == FrameKind::Junk))
                    kinds.push_back(fr.kind);
                joined += fr.bytes;
            }
            EXPECT_EQ(kinds, row.kinds) << row.bytes.substr(0, 20) << " split " << split;
            EXPECT_EQ(joined, row.bytes) << "no byte lost or invented";
        }
    }
}

TEST(InputFramerTest, WaitsForTheRestOfAMessage) {
    InputFramer f;
    EXPECT_TRUE(f.push("@M0102", 0).empty());
    EXPECT_TRUE(f.push("1#=9", 10).empty());
    std::vector<Frame> frames = f.push("?<", 20);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].bytes, "@M01021#=9?<");
    EXPECT_EQ(f.pendingCount(), 0u);
}

TEST(InputFramerTest, GivesUpOnlyAfterSilence) {
    InputFramer f;
    f.push("MX40abc", 0);
    EXPECT_TRUE(f.expire(InputFramer::kStaleMs).empty());
    std::vector<Frame> frames = f.expire(InputFramer::kStaleMs + 1);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].kind, FrameKind::Junk);
    EXPECT_EQ(f.pendingCount(), 0u);
}

TEST(InputFramerTest, EndlessTextWithoutEndMarkIsBounded) {
    InputFramer f;
    std::string text = "@" + std::string(InputFramer::kMaxPending + 10, 'A');
    std::vector<Frame> frames = f.push(text, 0);
    EXPECT_LE(f.pendingCount(), InputFramer::kMaxPending);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames[0].kind, FrameKind::Junk);
}

}  // namespace
}  // namespace quirn::sim
