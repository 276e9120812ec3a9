#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "protocol/Bcd.h"
#include "protocol/BcdCommands.h"
#include "protocol/ProgramImageLayout.h"
#include "protocol/SentenceCommands.h"

namespace quirn {
namespace {

namespace pi = program_image;

std::string raw(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s += static_cast<char>(b);
    return s;
}

TEST(BcdTime, StoredTimeInTwelveHourBcd) {
    ManualClock clock(fromLocal(2026, 1, 1));
    // Monday 16 March 2026 13:05:07.
    BcdTimeCommand t(1, 2, 3, clock, fromLocal(2026, 3, 16, 13, 5, 7));
    EXPECT_EQ(t.bytes(),
              raw({'$', 'T', 0x01, 0x02, 0x03, 0x81, 0x05, 0x07, 0x02, 0x03, 0x16, 0x26}));
    EXPECT_EQ(t.bytes().size(), BcdTimeCommand::kLength);
}

TEST(BcdTime, MidnightNoonAndThePlaceholder) {
    ManualClock clock(fromLocal(2026, 12, 5, 0, 0, 9));  // a Saturday
    EXPECT_EQ(BcdTimeCommand(0, 0, 0, clock).bytes(),
              raw({'$', 'T', 0, 0, 0, 0x12, 0x00, 0x09, 0x07, 0x12, 0x05, 0x26}));
    // A stored time before 2008 is the placeholder: the clock's time goes out instead.
    EXPECT_EQ(BcdTimeCommand(10, 99, 1, clock, fromLocal(2007, 6, 1, 12, 0, 0)).bytes(),
              raw({'$', 'T', 0x10, 0x99, 0x01, 0x12, 0x00, 0x09, 0x07, 0x12, 0x05, 0x26}));
    EXPECT_EQ(BcdTimeCommand(1, 1, 1, clock, fromLocal(2008, 1, 1, 12, 30, 0)).bytes(),
              raw({'$', 'T', 1, 1, 1, 0x92, 0x30, 0x00, 0x03, 0x01, 0x01, 0x08}));
}

TEST(BcdRelay, CodeFromBothRelays) {
    EXPECT_EQ(BcdRelayCommand(1, 2, 3, 1).bytes(), raw({'$', 'M', 1, 2, 3, 3}));
    EXPECT_EQ(BcdRelayCommand(1, 2, 3, 0).bytes(), raw({'$', 'M', 1, 2, 3, 0}));
    EXPECT_EQ(BcdRelayCommand(1, 2, 3, 2).relayCode(), 0);  // 2 + 4 is no relay code
    EXPECT_EQ(BcdRelayCommand(1, 2, 3, -1).relayCode(), 0);
}

TEST(BcdRead, RequestsCarryBcdNumbers) {
    EXPECT_EQ(MX40ReadCommand(2, 45, 12).bytes(), raw({'C', '7', '8', 0x02, 0x45, 0x12}));
    EXPECT_EQ(LR40ReadCommand(1, 99, 0).bytes(), raw({'C', '7', '9', 0x01, 0x99, 0x00}));
}

TEST(ProgramImageCommand, WholeImageZeroPadded) {
    std::vector<uint8_t> part = {'M', 'X', '4', '0'};
    ProgramImageCommand c(1, 1, 2, part);
    std::string b = c.bytes();
    ASSERT_EQ(b.size(), pi::kSize);
    EXPECT_EQ(b.substr(0, 4), "MX40");
    EXPECT_EQ(b.find_first_not_of('\0', 4), std::string::npos);
    EXPECT_EQ(ProgramImageCommand(1, 1, 2).bytes(), std::string(pi::kSize, '\0'));
    std::vector<uint8_t> tooLong(2000, 7);
    EXPECT_EQ(ProgramImageCommand(1, 1, 2, tooLong).bytes(), std::string(pi::kSize, '\x07'));
}

// An image with day plans 1 (two steps) and 3 (one step), two annual entries, a clock, the
// daylight-saving rule and a default week.
std::array<uint8_t, pi::kSize> sampleImage() {
    std::array<uint8_t, pi::kSize> img{};
    img[4] = 0x02, img[5] = 0x17, img[6] = 0x05;
    size_t s1 = pi::slotOffset(1);
    img[s1] = 0x07, img[s1 + 1] = 0x00, img[s1 + 2] = 3;
    img[s1 + 4] = 0x88, img[s1 + 5] = 0x30, img[s1 + 6] = 0;
    size_t s3 = pi::slotOffset(3);
    img[s3] = 0x12, img[s3 + 1] = 0x00, img[s3 + 2] = 3;
    for (size_t i = 0; i < 2; ++i)
        for (size_t k = 0; k < 8; ++k)
            img[pi::annualOffset(i) + k] = static_cast<uint8_t>(k == 7 ? 0xEE : 0x10 + i + k);
    const uint8_t clock[] = {0x09, 0x05, 0x81, 0x02, 0x16, 0x03, 0x26};
    std::copy(std::begin(clock), std::end(clock), img.begin() + pi::kClock);
    const uint8_t dst[] = {0x03, 0x02, 0x11, 0x01};
    std::copy(std::begin(dst), std::end(dst), img.begin() + pi::kDaylightRule);
    for (size_t d = 0; d < 7; ++d) img[pi::kDefaultWeek + d] = static_cast<uint8_t>(d % 3);
    img[pi::kRelay] = 3;
    return img;
}

TEST(ProgramSentence, LayoutAndLengthField) {
    auto img = sampleImage();
    ProgramSentenceCommand s(2, 17, 5, img);
    std::string payload = raw({'S',  0x02, 0x17, 0x05, 0,    0,              // address, len
                               0x09, 0x05, 0x81, 0x02, 0x16, 0x03, 0x26,     // clock
                               0x03, 0x02, 0x11, 0x01,                       // daylight rule
                               2,                                            // plans
                               1,    2,    0x07, 0x00, 3,    0x88, 0x30, 0,  // plan 1
                               3,    1,    0x12, 0x00, 3,                    // plan 3
                               2,                                            // annual
                               0x10, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16,     // entry 0
                               0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17,     // entry 1
                               0,    1,    2,    0,    1,    2,    0,        // default week
                               0});
    size_t total = payload.size() + 4;
    payload[4] = static_cast<char>(total >> 8);
    payload[5] = static_cast<char>(total & 0xFF);
    EXPECT_EQ(s.payload(), payload);
    std::string b = s.bytes();
    EXPECT_EQ(b.size(), total);
    // The length field counts "$", "*" and both checksum digits.
    EXPECT_EQ((static_cast<uint8_t>(b[5]) << 8) | static_cast<uint8_t>(b[6]), int(b.size()));
    EXPECT_EQ(b.front(), '$');
    EXPECT_EQ(b[b.size() - 3], '*');
}

TEST(ProgramSentence, StopsAtSixteenStepsAndThirtySixEntries) {
    std::array<uint8_t, pi::kSize> img{};
    for (size_t i = 0; i < pi::kSlotLength; ++i) img[pi::slotOffset(9) + i] = 0x01;
    for (size_t i = pi::kAnnualStart; i < pi::kDaylightRule; ++i) img[i] = 0x01;
    std::string p = ProgramSentenceCommand(1, 1, 1, img).payload();
    EXPECT_EQ(p[17], 1);   // one plan
    EXPECT_EQ(p[18], 9);   // plan 9
    EXPECT_EQ(p[19], 16);  // sixteen steps
    size_t annualCount = 20 + 16 * 3;
    EXPECT_EQ(p[annualCount], 36);
    EXPECT_EQ(p.size(), annualCount + 1 + 36 * 7 + 7 + 1);
}

TEST(ProgramSentence, EmptyImageHasNoPlansOrEntries) {
    std::string p = ProgramSentenceCommand(1, 1, 1, {}).payload();
    EXPECT_EQ(p.size(), 1u + 3 + 2 + 7 + 4 + 1 + 1 + 7 + 1);
    EXPECT_EQ(p[5], static_cast<char>(p.size() + 4));
}

TEST(QuerySentence, CarriesTheImageAddress) {
    auto img = sampleImage();
    EXPECT_EQ(QuerySentenceCommand(2, 17, 5, img).bytes(),
              std::string("$Q\x02\x17\x05*") + "41");  // "Q" ^ 2 ^ 0x17 ^ 5 = 0x41
    EXPECT_EQ(QuerySentenceCommand(1, 1, 1, {}).bytes(), std::string("$Q\0\0\0*51", 8));
}

TEST(BaudSentence, FastAndSlow) {
    EXPECT_EQ(BaudSentenceCommand(4800).bytes(), "$B000000B*00");
    EXPECT_EQ(BaudSentenceCommand(2400).bytes(), "$B000000A*03");
    EXPECT_EQ(BaudSentenceCommand(9600).bytes(), "$B000000A*03");
}

TEST(ByteCommands, EveryBuilderKeepsToItsCapacity) {
    ManualClock clock(fromLocal(2026, 3, 16, 7, 30, 0));
    auto img = sampleImage();
    std::vector<std::unique_ptr<CommandVorn>> commands;
    commands.push_back(std::make_unique<BcdTimeCommand>(1, 2, 3, clock));
    commands.push_back(std::make_unique<BcdRelayCommand>(1, 2, 3, 1));
    commands.push_back(std::make_unique<MX40ReadCommand>(1, 2, 3));
    commands.push_back(std::make_unique<ProgramImageCommand>(1, 2, 3, img));
    commands.push_back(std::make_unique<ProgramSentenceCommand>(1, 2, 3, img));
    commands.push_back(std::make_unique<BaudSentenceCommand>(2400));
    for (const auto& c : commands) {
        const std::string whole = c->bytes();
        for (size_t capacity : {size_t{0}, size_t{1}, whole.size() - 1, whole.size()}) {
            std::vector<char> buf(whole.size() + 4, '~');
            size_t n = c->build(buf.data(), capacity);
            if (capacity < whole.size()) {
                EXPECT_EQ(n, 0u);
                EXPECT_EQ(std::string(buf.begin(), buf.end()), std::string(buf.size(), '~'));
            } else {
                EXPECT_EQ(std::string(buf.data(), n), whole);
                EXPECT_EQ(buf[n], '~');  // raw bytes: nothing after them
            }
        }
    }
}

}  // namespace
}  // namespace quirn
