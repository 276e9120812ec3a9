#include <gtest/gtest.h>

#include <string>

#include "protocol/Checksums.h"
#include "protocol/MessageFrame.h"

namespace quirn {
namespace {

// Every worked message: the text before the checksum and the four characters that follow.
struct Golden {
    const char* covered;
    const char* checksum;
};

constexpr Golden kPagedGolden[] = {
    {"@D0102AH0AiU#", "33=>"}, {"@2D0102AH0AiU#", "0532"},
    {"@M01021#", "=9?<"},      {"@Z0000eG3F7U0F32B1#", "35>>"},
    {"@T01002HU#", "1=11"},    {"@O0100BH0BiU#", "82;5"},
    {"@E01024#", "=:79"},      {"@B01027#", "6>59"},
    {"@C0102#", ";3:;"},
};

TEST(PagedChecksum, MatchesEveryWorkedMessage) {
    for (const Golden& g : kPagedGolden) {
        SCOPED_TRACE(g.covered);
        EXPECT_EQ(checksumText(pagedChecksum(g.covered)), g.checksum);
    }
}

TEST(PagedChecksum, BytesAboveSevenBitsAreSignExtended) {
    // A byte 0x80..0xFF is negative on the wire: it flips the high half of the accumulator and
    // subtracts in the closing sum. Compare with the same algorithm written independently.
    auto reference = [](const std::string& s) {
        uint32_t c = 0xFFFF;
        for (unsigned char u : s) {
            int32_t v = u >= 0x80 ? static_cast<int32_t>(u) - 256 : u;
            c ^= static_cast<uint32_t>(v);
            for (int i = 0; i < 8; ++i) {
                c >>= 1;
                if (c & 1) c ^= 0xA001;
            }
        }
        for (unsigned char u : s) c += static_cast<uint32_t>(u >= 0x80 ? u - 256 : u);
        return static_cast<uint16_t>(c);
    };
    const std::string samples[] = {std::string("\x80", 1), std::string("\xFF\x01\xFE", 3),
                                   std::string("@D01\xE9#", 6), std::string(40, '\xA5')};
    for (const std::string& s : samples) EXPECT_EQ(pagedChecksum(s), reference(s));
    // And the result differs from treating the bytes as unsigned (no sum).
    EXPECT_NE(pagedChecksum(std::string("\x80", 1)), replyChecksum(std::string("\x80", 1)));
}

TEST(ChecksumText, NibblesTenToFifteenArePunctuation) {
    EXPECT_EQ(checksumText(0x0000), "0000");
    EXPECT_EQ(checksumText(0x9ABC), "9:;<");
    EXPECT_EQ(checksumText(0xDEF0), "=>?0");
    EXPECT_EQ(checksumText(0xFFFF), "????");
    const char expected[] = "0123456789:;<=>?";
    for (unsigned n = 0; n < 16; ++n) EXPECT_EQ(nibbleChar(n), expected[n]);
}

TEST(ReplyChecksum, UnsignedBytesAndNoClosingSum) {
    auto reference = [](const std::string& s) {
        uint32_t c = 0xFFFF;
        for (unsigned char u : s) {
            c ^= u;
            for (int i = 0; i < 8; ++i) {
                c >>= 1;
                if (c & 1) c ^= 0xA001;
            }
        }
        return static_cast<uint16_t>(c);
    };
    const std::string samples[] = {"", "S", std::string("S\x02\x07\x1E\x00\x80", 6),
                                   std::string("\xFF\xFE", 2)};
    for (const std::string& s : samples) EXPECT_EQ(replyChecksum(s), reference(s));
    EXPECT_EQ(replyChecksum(""), 0xFFFF);
    // The paged checksum adds the byte sum, so the two disagree on ordinary text.
    EXPECT_NE(replyChecksum("@C0102#"), pagedChecksum("@C0102#"));
}

TEST(Sentence, FramesWithXorOfThePayload) {
    EXPECT_EQ(sentence("B000000B"), "$B000000B*00");
    EXPECT_EQ(sentence("B000000A"), "$B000000A*03");
    EXPECT_EQ(sentence(""), "$*00");
    EXPECT_EQ(sentence(std::string("\xF0\x0A", 2)), std::string("$\xF0\x0A*FA", 6));
    EXPECT_EQ(sentence("Q\x01\x02").size(), 3u + kSentenceOverhead);
}

}  // namespace
}  // namespace quirn
