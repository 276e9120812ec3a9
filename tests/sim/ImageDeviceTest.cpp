#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "protocol/Bcd.h"
#include "protocol/BcdCommands.h"
#include "protocol/Checksums.h"
#include "protocol/PagedCommands.h"
#include "protocol/ProgramImageLayout.h"
#include "protocol/SentenceCommands.h"
#include "sim/SimulatedTimeSwitch.h"
#include "tests/sim/SimTestSupport.h"

namespace quirn::sim {
namespace {

namespace pi = quirn::program_image;
using test::settingsFor;
using Image = std::array<uint8_t, pi::kSize>;

// Monday 20 April 2026 is covered by the annual entry below (plan 2 on the 20th and 21st).
std::time_t mondayBeforeSix() {
    return fromLocal(2026, 4, 13, 5, 58, 0);
}

void putStep(Image& im, int plan, int index, int hour, int minute, bool on) {
    size_t at =
        pi::slotOffset(static_cast<size_t>(plan)) + pi::kStepLength * static_cast<size_t>(index);
    im[at] = toTwelveHourBcd(hour);
    im[at + 1] = toBcd(minute);
    im[at + 2] = on ? 3 : 0;
}

// A group's image laid out by hand as the station's download describes it: group 7 of master
// group 1, plan 1 07:00-08:30, plan 2 13:05-14:00, one annual entry, school days on plan 1.
Image stationImage(std::time_t clock) {
    Image im{};
    const char mark[] = "MX40";
    std::copy(mark, mark + 4, im.begin());
    im[4] = toBcd(1);
    im[5] = toBcd(7);
    im[6] = 0;
    im[7] = '0';
    im[8] = '0';
    putStep(im, 1, 0, 7, 0, true);
    putStep(im, 1, 1, 8, 30, false);
    putStep(im, 2, 0, 13, 5, true);
    putStep(im, 2, 1, 14, 0, false);
    size_t a = pi::annualOffset(0);
    for (int v : {4, 20, 26, 4, 21, 26, 2}) im[a++] = toBcd(v);
    const int rule[] = {3, 2, 11, 1};
    for (size_t i = 0; i < 4; ++i) im[pi::kDaylightRule + i] = toBcd(rule[i]);
    const int week[] = {0, 1, 1, 1, 1, 1, 0};
    for (size_t i = 0; i < 7; ++i) im[pi::kDefaultWeek + i] = static_cast<uint8_t>(week[i]);
    LocalDateTime t = toLocal(clock);
    im[pi::kClock] = toBcd(t.second);
    im[pi::kClock + 1] = toBcd(t.minute);
    im[pi::kClock + 2] = toTwelveHourBcd(t.hour);
    im[pi::kClock + 3] = toBcd(t.weekday);
    im[pi::kClock + 4] = toBcd(t.day);
    im[pi::kClock + 5] = toBcd(t.month);
    im[pi::kClock + 6] = toBcd(t.year - 2000);
    im[966] = 'F';
    im[967] = 'O';
    return im;
}

LocalDateTime clockOf(const std::string& image) {
    auto b = [&](size_t i) { return static_cast<uint8_t>(image[pi::kClock + i]); };
    LocalDateTime t;
    t.second = fromBcd(b(0));
    t.minute = fromBcd(b(1));
    t.hour = fromTwelveHourBcd(b(2));
    t.weekday = fromBcd(b(3));
    t.day = fromBcd(b(4));
    t.month = fromBcd(b(5));
    t.year = fromBcd(b(6)) + 2000;
    return t;
}

class ImageDevice : public ::testing::TestWithParam<SimModel> {
  protected:
    ManualClock host{mondayBeforeSix()};
    SimulatedTimeSwitch device{settingsFor(GetParam(), {1, 7, 3}, mondayBeforeSix()), host};
    Image image = stationImage(mondayBeforeSix());

    std::string program() { return device.receive(ProgramImageCommand(1, 7, 0, image).bytes()); }
    void advanceMinutes(int minutes) {
        for (int i = 0; i < minutes; ++i) {
            host.advance(60);
            device.tick();
        }
    }
};

TEST_P(ImageDevice, TakesTheImageAndReadsItBackWithClockAndRelayCurrent) {
    EXPECT_TRUE(program().empty());
    advanceMinutes(63);  // Monday 07:01: plan 1 switched both relays on
    EXPECT_EQ(device.relayCode(), 3);
    std::string reply = device.receive(MX40ReadCommand(1, 7, 3).bytes());
    ASSERT_EQ(reply.size(), pi::kSize);
    for (size_t i = 0; i < pi::kSize; ++i) {
        if (i >= pi::kClock && i < pi::kClock + pi::kClockLength) continue;
        if (i == pi::kRelay) continue;
        ASSERT_EQ(static_cast<uint8_t>(reply[i]), image[i]) << "byte " << i;
    }
    EXPECT_EQ(reply[pi::kRelay] & 3, 3);
    LocalDateTime t = clockOf(reply);
    EXPECT_EQ(t, toLocal(host.now()));
    EXPECT_EQ(t.weekday, 2);
}

TEST_P(ImageDevice, RelayFollowsDayPlansAnnualEntriesAndDefaultWeek) {
    program();
    advanceMinutes(62);  // 07:00
    EXPECT_EQ(device.relayCode(), 3);
    advanceMinutes(90);  // 08:30
    EXPECT_EQ(device.relayCode(), 0);
    advanceMinutes(5 * 60);  // 13:30 Monday: plan 1 has no step, still off
    EXPECT_EQ(device.relayCode(), 0);
    // Monday a week later lies in the annual entry: plan 2 (13:05 ON) rules.
    host.set(fromLocal(2026, 4, 20, 13, 0, 0));
    device.tick();
    advanceMinutes(4);
    EXPECT_EQ(device.relayCode(), 0);
    advanceMinutes(1);
    EXPECT_EQ(device.relayCode(), 3);
    host.set(fromLocal(2026, 4, 20, 7, 30, 0));  // clock set back: plan 2 holds no 07:00 step
    device.receive(BcdTimeCommand(0, 0, 0, host).bytes());
    EXPECT_EQ(device.relayCode(), 0);
}

TEST_P(ImageDevice, MissedStepFaultSkipsOnlyThatStepWhileTheClockRuns) {
    SimSettings faulty = settingsFor(GetParam(), {1, 7, 3}, mondayBeforeSix());
    faulty.faults.missedStepMinute = 7 * 60;
    SimulatedTimeSwitch missing(faulty, host);
    missing.receive(ProgramImageCommand(1, 7, 0, image).bytes());
    for (int i = 0; i < 63; ++i) {  // 07:01
        host.advance(60);
        missing.tick();
    }
    EXPECT_EQ(missing.relayCode(), 0);
    // A clock setting puts the relay where the program says, missed step or not.
    missing.receive(BcdTimeCommand(0, 0, 0, host).bytes());
    EXPECT_EQ(missing.relayCode(), 3);
    for (int i = 0; i < 90; ++i) {  // 08:31: the other step is taken
        host.advance(60);
        missing.tick();
    }
    EXPECT_EQ(missing.relayCode(), 0);
}

TEST_P(ImageDevice, TimeAndRelayCommands) {
    program();
    ManualClock station(fromLocal(2026, 12, 24, 23, 59, 30));
    device.receive(BcdTimeCommand(1, 7, 0, station).bytes());
    EXPECT_EQ(device.clock().local(), toLocal(station.now()));
    device.receive(BcdRelayCommand(1, 7, 3, 1).bytes());
    EXPECT_EQ(device.relayCode(), 3);
    device.receive(BcdRelayCommand(1, 7, 3, 0).bytes());
    EXPECT_EQ(device.relayCode(), 0);
    device.receive(BcdRelayCommand(1, 8, 3, 1).bytes());  // another group
    EXPECT_EQ(device.relayCode(), 0);
}

TEST_P(ImageDevice, ReadsAnswerOnlyTheirAddress) {
    EXPECT_EQ(device.receive(MX40ReadCommand(1, 7, 0).bytes()).size(), pi::kSize);
    EXPECT_EQ(device.receive(MX40ReadCommand(0, 0, 0).bytes()).size(), pi::kSize);
    EXPECT_TRUE(device.receive(MX40ReadCommand(1, 7, 4).bytes()).empty());
    EXPECT_TRUE(device.receive(MX40ReadCommand(2, 7, 3).bytes()).empty());
    // Paged text is not for these models.
    EXPECT_TRUE(device.receive(ReadCommand(1, 7, 3, false).text()).empty());
}

TEST_P(ImageDevice, UnprogrammedSwitchAnswersAValidEmptyImage) {
    std::string reply = device.receive(MX40ReadCommand(1, 7, 3).bytes());
    ASSERT_EQ(reply.size(), pi::kSize);
    EXPECT_EQ(reply.substr(0, 4), "MX40");
    EXPECT_EQ(reply[967], 'O');
    EXPECT_EQ(static_cast<uint8_t>(reply[6]), toBcd(3));
    EXPECT_EQ(static_cast<uint8_t>(reply[pi::kDaylightRule + 2]), toBcd(11));
    EXPECT_EQ(reply[pi::slotOffset(1)], 0);
}

TEST_P(ImageDevice, AllZeroImageClearsTheProgram) {
    program();
    Image zero{};
    device.receive(ProgramImageCommand(1, 7, 3, zero).bytes());
    std::string reply = device.receive(MX40ReadCommand(1, 7, 3).bytes());
    ASSERT_EQ(reply.size(), pi::kSize);
    EXPECT_EQ(reply.substr(0, 4), "MX40");
    EXPECT_EQ(reply[pi::slotOffset(1)], 0);
    EXPECT_EQ(reply[pi::annualOffset(0)], 0);
}

INSTANTIATE_TEST_SUITE_P(Models, ImageDevice, ::testing::Values(SimModel::MX40, SimModel::LR40),
                         [](const auto& info) { return std::string(modelName(info.param)); });

class Lr40Device : public ::testing::Test {
  protected:
    ManualClock host{mondayBeforeSix()};
    SimulatedTimeSwitch device{settingsFor(SimModel::LR40, {1, 7, 3}, mondayBeforeSix()), host};
    Image image = stationImage(mondayBeforeSix());
};

TEST_F(Lr40Device, ProgramSentenceFillsTheSameMemoryAsTheImage) {
    SimulatedTimeSwitch viaImage(settingsFor(SimModel::MX40, {1, 7, 3}, mondayBeforeSix()), host);
    viaImage.receive(ProgramImageCommand(1, 7, 0, image).bytes());
    device.receive(ProgramSentenceCommand(1, 7, 0, image).bytes());
    std::string a = device.receive(MX40ReadCommand(1, 7, 3).bytes());
    std::string b = viaImage.receive(MX40ReadCommand(1, 7, 3).bytes());
    ASSERT_EQ(a.size(), pi::kSize);
    // The sentence carries no zone letter; the switch keeps its own, which is the same here.
    EXPECT_EQ(a, b);
}

TEST_F(Lr40Device, ReadAndQueryAnswerTheSentenceEndingInTheRelay) {
    device.receive(ProgramSentenceCommand(1, 7, 0, image).bytes());
    device.receive(BcdRelayCommand(1, 7, 3, 1).bytes());
    std::string station = ProgramSentenceCommand(1, 7, 0, image).bytes();
    for (const std::string& request :
         {LR40ReadCommand(1, 7, 3).bytes(), QuerySentenceCommand(1, 7, 3, image).bytes()}) {
        std::string reply = device.receive(request);
        ASSERT_EQ(reply.size(), station.size()) << printableBytes(reply);
        size_t star = reply.size() - 3;
        ASSERT_EQ(reply[star], '*');
        std::string payload = reply.substr(1, star - 1);
        EXPECT_EQ(reply.substr(star + 1), hexByteText(sentenceChecksum(payload)));
        EXPECT_EQ((static_cast<uint8_t>(reply[5]) << 8) | static_cast<uint8_t>(reply[6]),
                  static_cast<int>(reply.size()));
        EXPECT_EQ(payload.back(), 3);  // the relay byte closes the payload
        // Everything else but the clock matches what the station sent.
        EXPECT_EQ(reply.substr(0, 7), station.substr(0, 7));
        EXPECT_EQ(reply.substr(14, star - 1 - 14), station.substr(14, star - 1 - 14));
    }
}

TEST_F(Lr40Device, BaudSentenceAndPageAllAnswerTenBytes) {
    EXPECT_EQ(device.lineRate(), 2400);
    EXPECT_TRUE(device.receive(BaudSentenceCommand(4800).bytes()).empty());
    EXPECT_EQ(device.lineRate(), 4800);
    std::string reply = device.receive(PageAllCommand().bytes());
    EXPECT_EQ(reply.size(), 10u);
    EXPECT_NE(reply.find("4800"), std::string::npos);
    device.receive(BaudSentenceCommand(2400).bytes());
    EXPECT_EQ(device.lineRate(), 2400);

    SimSettings stubborn = settingsFor(SimModel::LR40, {1, 7, 3}, mondayBeforeSix());
    stubborn.faults.ignoreBaud = true;
    SimulatedTimeSwitch fixed(stubborn, host);
    fixed.receive(BaudSentenceCommand(4800).bytes());
    EXPECT_EQ(fixed.lineRate(), 2400);
}

TEST_F(Lr40Device, MalformedSentencesAreIgnored) {
    std::string s = ProgramSentenceCommand(1, 7, 0, image).bytes();
    std::string badSum = s;
    badSum.back() = badSum.back() == '0' ? '1' : '0';
    device.receive(badSum);
    std::string badLength = s;
    badLength[6] = static_cast<char>(badLength[6] + 1);
    device.receive(badLength + "xx");
    std::string reply = device.receive(MX40ReadCommand(1, 7, 3).bytes());
    ASSERT_EQ(reply.size(), pi::kSize);
    EXPECT_EQ(reply[pi::slotOffset(1)], 0);
}

TEST_F(Lr40Device, Mx40DoesNotTakeSentences) {
    SimulatedTimeSwitch mx(settingsFor(SimModel::MX40, {1, 7, 3}, mondayBeforeSix()), host);
    mx.receive(ProgramSentenceCommand(1, 7, 0, image).bytes());
    EXPECT_TRUE(mx.receive(LR40ReadCommand(1, 7, 3).bytes()).empty());
    EXPECT_TRUE(mx.receive(BaudSentenceCommand(4800).bytes() + PageAllCommand().bytes()).empty());
    EXPECT_EQ(mx.lineRate(), 2400);
}

}  // namespace
}  // namespace quirn::sim

namespace quirn::sim {
namespace {

TEST(ImageDeviceRobustness, ArbitraryBytesNeverCrashAnyModel) {
    for (SimModel model : {SimModel::QN510, SimModel::Strider, SimModel::MX40, SimModel::LR40}) {
        ManualClock host(fromLocal(2026, 4, 13, 6, 0, 0));
        SimulatedTimeSwitch device(test::settingsFor(model, {1, 7, 3}, host.now()), host);
        uint32_t state = 777;
        std::string noise;
        const std::string starts[] = {"$S",  "$Q",   "$B", "$T", "$M", "C78",
                                      "C79", "MX40", "@",  "X@", "K"};
        for (int i = 0; i < 3000; ++i) {
            state = state * 1664525u + 1013904223u;
            if (state % 7 == 0)
                noise += starts[(state >> 8) % std::size(starts)];
            else
                noise += static_cast<char>(state >> 24);
        }
        for (size_t at = 0; at < noise.size(); at += 61) {
            device.receive(noise.substr(at, 61));
            host.advanceMs(700);
            device.tick();
        }
        host.advanceMs(InputFramer::kStaleMs + 1);
        device.tick();
        // Still answering its own read afterwards.
        std::string reply = isPagedModel(model) ? device.receive(ReadCommand(1, 7, 3, false).text())
                                                : device.receive(MX40ReadCommand(1, 7, 3).bytes());
        EXPECT_FALSE(reply.empty()) << modelName(model);
    }
}

}  // namespace
}  // namespace quirn::sim
