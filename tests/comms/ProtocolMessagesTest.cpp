#include <gtest/gtest.h>

#include <string>

#include "comms/ProtocolMessages.h"
#include "plans/PlanDatabase.h"
#include "plans/Settings.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"

namespace quirn {
namespace {

class ProtocolMessagesTest : public ::testing::Test {
  protected:
    ProtocolMessagesTest()
        : clock(fromLocal(2026, 3, 16, 7, 30, 0)),  // a Monday
          messages(clock, db, settings) {
        location.connection = "127.0.0.5";
        db.addLocation(location);
    }
    ManualClock clock;
    PlanDatabase db;
    Settings settings;
    ProtocolMessages messages;
    Location location{1, 1, 2};
};

TEST_F(ProtocolMessagesTest, ReadRequestsFollowTheModel) {
    EXPECT_EQ(messages.readRequest(location), "X@R0102o");
    location.model = static_cast<int32_t>(TimeSwitchModel::Strider);
    EXPECT_EQ(messages.readRequest(location), "X@R0102o");
    location.model = static_cast<int32_t>(TimeSwitchModel::MX40);
    EXPECT_EQ(messages.readRequest(location), std::string("C78\x01\x01\x02", 6));
    location.model = static_cast<int32_t>(TimeSwitchModel::LR40);
    EXPECT_EQ(messages.readRequest(location), std::string("C79\x01\x01\x02", 6));
}

TEST_F(ProtocolMessagesTest, TheQueryCarriesTheLocationsAddressInBcd) {
    Location far(1, 12, 34);
    // "Q", 01 12 34, then the XOR of the payload in hexadecimal.
    unsigned char x = 'Q' ^ 0x01 ^ 0x12 ^ 0x34;
    char sum[3];
    std::snprintf(sum, sizeof sum, "%02X", x);
    EXPECT_EQ(messages.querySentence(far), std::string("$Q\x01\x12\x34*", 6) + sum);
}

TEST_F(ProtocolMessagesTest, ActivationLogCommandsMatchTheWorkedExamples) {
    EXPECT_EQ(messages.passwayLogRequest(location, 7), "@B01027#6>59");
    EXPECT_EQ(messages.passwayLogClear(location), "@C0102#;3:;");
}

TEST_F(ProtocolMessagesTest, ClockMessagesUseTheClock) {
    EXPECT_EQ(messages.timeMessage(1, 1), "@T01002HU#1=11");
    std::string bcd = messages.bcdTimeMessage(0, 0);
    ASSERT_EQ(bcd.size(), 12u);
    EXPECT_EQ(bcd.substr(0, 2), "$T");
    EXPECT_EQ(bcd[5], 0x07);   // 07 h
    EXPECT_EQ(bcd[6], 0x30);   // 30 min
    EXPECT_EQ(bcd[9], 0x03);   // March
    EXPECT_EQ(bcd[11], 0x26);  // 2026
    EXPECT_EQ(messages.clockMessage(ClockMessage::BcdTime), bcd);
    EXPECT_EQ(messages.clockMessage(ClockMessage::Time).substr(0, 6), "@T0000");
    EXPECT_EQ(messages.clockMessage(ClockMessage::TimeDate).substr(0, 7), "@Z0000e");
    std::string later = messages.bcdTimeMessageAt(fromLocal(2027, 1, 2, 3, 4, 5));
    ASSERT_EQ(later.size(), 12u);
    EXPECT_EQ(later[11], 0x27);
}

TEST_F(ProtocolMessagesTest, DownloadNeedsAProgrammingBuilder) {
    EXPECT_EQ(messages.download(location), "");
    ProtocolMessages withBuilder(clock, db, settings,
                                 [](const Location& l) { return "image for " + l.name; });
    EXPECT_EQ(withBuilder.download(location), "image for New Location");
}

}  // namespace
}  // namespace quirn
