#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loader/BaudChange.h"
#include "tests/loader/PortFixture.h"
#include "tests/loader/SwitchScript.h"

namespace quirn::test {
namespace {

struct ChangeCase {
    int target;
    int switchRate;  // the rate the switch listens at before the change
    int configured;  // the station port's configured rate
    int firstStep;
    const char* sentence;
    const char* success;
};

const ChangeCase kChanges[] = {
    {2400, 4800, 2400, 100, "$B000000A*03", "Baud rate changed to 2400 in attached time switch."},
    {2400, 4800, 4800, 100, "$B000000A*03", "Baud rate changed to 2400 in attached time switch."},
    {4800, 2400, 2400, 200, "$B000000B*00", "Baud rate changed to 4800 in attached time switch."},
    {4800, 2400, 4800, 200, "$B000000B*00", "Baud rate changed to 4800 in attached time switch."},
};

constexpr const char* kFailure = "Baud rate change FAILURE.  Please check cabling and try again.";

class BaudChangeSteps : public PortFixture, public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(BaudChangeSteps, RunsOneStepPerTickTalkingAtTheOldRateAndRestoresTheConfiguredRate) {
    const ChangeCase& c = GetParam();
    BaudSwitch sw{c.switchRate};
    device->script = sw.script();
    BaudChange change(*port);
    std::size_t opensBefore = device->opens.size();
    std::size_t writesBefore = device->written.size();

    ASSERT_TRUE(change.start(c.target, c.configured));
    EXPECT_EQ(change.headline(),
              "Changing the BAUD rate to " + std::to_string(c.target) + ".  Please Wait...");
    EXPECT_FALSE(change.start(c.target, c.configured)) << "a second change while one runs";

    const std::vector<std::string> stepTexts = {"Setting Up.", "Step 1 of 5", "Step 2 of 5",
                                                "Step 3 of 5", "Step 4 of 5", "Step 5 of 5"};
    for (int offset = 0; offset < 6; ++offset) {
        ASSERT_EQ(change.step(), c.firstStep + offset);
        EXPECT_FALSE(change.tick()) << "step " << c.firstStep + offset;
        EXPECT_EQ(change.stepText(), stepTexts[static_cast<std::size_t>(offset)]);
    }
    EXPECT_EQ(change.step(), c.firstStep + 6);
    EXPECT_TRUE(change.tick());
    EXPECT_FALSE(change.running());
    EXPECT_EQ(change.step(), BaudChange::kIdle);
    EXPECT_TRUE(change.succeeded());
    EXPECT_EQ(change.headline(), c.success);
    EXPECT_EQ(change.resultText(), c.success);
    EXPECT_EQ(sw.rate, c.target);

    // Open at the old rate, follow at the new one, back to the configured rate.
    std::vector<int> opens(device->opens.begin() + static_cast<std::ptrdiff_t>(opensBefore),
                           device->opens.end());
    EXPECT_EQ(opens, (std::vector<int>{c.switchRate, c.target, c.configured}));
    ASSERT_EQ(device->written.size(), writesBefore + 2);
    EXPECT_EQ(device->written[writesBefore].bytes, c.sentence);
    EXPECT_EQ(device->written[writesBefore].baud, c.switchRate);
    EXPECT_EQ(device->written[writesBefore + 1].bytes, "@P#");
    EXPECT_EQ(device->written[writesBefore + 1].baud, c.target);
    EXPECT_EQ(port->currentBaud(), c.configured);
}

INSTANTIATE_TEST_SUITE_P(BothDirections, BaudChangeSteps, ::testing::ValuesIn(kChanges));

struct ReplyCase {
    const char* what;
    std::size_t proofLength;
    bool silent;
    int switchRate;
    bool success;
};

const ReplyCase kReplies[] = {
    {"ten bytes", 10, false, 4800, true},
    {"nine bytes", 9, false, 4800, false},
    {"eleven bytes", 11, false, 4800, false},
    {"no reply", 10, true, 4800, false},
    {"switch already at the target rate answers the page", 10, false, 2400, true},
};

class BaudChangeReply : public PortFixture, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(BaudChangeReply, OnlyExactlyTenBytesAfterThePageCountAsSuccess) {
    const ReplyCase& c = GetParam();
    BaudSwitch sw{c.switchRate, c.proofLength, c.silent};
    device->script = sw.script();
    BaudChange change(*port);
    ASSERT_TRUE(change.start(2400, 4800));
    int ticks = 0;
    while (!change.tick()) ASSERT_LT(++ticks, 10);
    EXPECT_EQ(ticks, 6);
    EXPECT_EQ(change.succeeded(), c.success) << c.what;
    EXPECT_EQ(change.headline(),
              c.success ? "Baud rate changed to 2400 in attached time switch." : kFailure);
    EXPECT_EQ(device->opens.back(), 4800) << "the configured rate comes back either way";
    EXPECT_EQ(port->currentBaud(), 4800);
}

INSTANTIATE_TEST_SUITE_P(Replies, BaudChangeReply, ::testing::ValuesIn(kReplies));

class BaudChangeVanish : public PortFixture, public ::testing::WithParamInterface<int> {};

// The adapter is pulled out just before step 100 + `offset` runs (the steps that use the port).
TEST_P(BaudChangeVanish, AVanishedPortEndsTheChangeAsAFailureAndTriesTheConfiguredRateLast) {
    int offset = GetParam();
    BaudSwitch sw{4800};
    device->script = sw.script();
    BaudChange change(*port);
    ASSERT_TRUE(change.start(2400, 2400));
    for (int i = 0; i < offset; ++i) ASSERT_FALSE(change.tick());
    device->vanished = true;
    int ticks = 0;
    while (!change.tick()) ASSERT_LT(++ticks, 7) << "stuck in step " << change.step();
    EXPECT_FALSE(change.running());
    EXPECT_EQ(change.step(), BaudChange::kIdle);
    EXPECT_FALSE(change.succeeded());
    EXPECT_EQ(change.headline(), kFailure);
    EXPECT_EQ(device->opens.back(), 2400);
    EXPECT_FALSE(port->isSetUp());

    // Plugged back in: the next change starts from a clean machine and works.
    device->vanished = false;
    sw.rate = 4800;
    ASSERT_TRUE(change.start(2400, 2400));
    while (!change.tick()) {
    }
    EXPECT_TRUE(change.succeeded());
    EXPECT_TRUE(port->isSetUp());
}

INSTANTIATE_TEST_SUITE_P(EveryStep, BaudChangeVanish, ::testing::Range(0, 6));

TEST_F(PortFixture, ACancelledBaudChangeRestoresTheConfiguredRateAndFails) {
    BaudSwitch sw{2400};
    device->script = sw.script();
    BaudChange change(*port);
    change.cancel();
    EXPECT_FALSE(change.finished()) << "cancelling an idle machine does nothing";
    ASSERT_TRUE(change.start(4800, 2400));
    change.tick();
    change.tick();
    change.tick();  // the station port now follows at 4800
    EXPECT_EQ(port->currentBaud(), 4800);
    change.cancel();
    EXPECT_FALSE(change.running());
    EXPECT_TRUE(change.finished());
    EXPECT_FALSE(change.succeeded());
    EXPECT_EQ(port->currentBaud(), 2400);
    EXPECT_EQ(change.headline(), kFailure);
}

}  // namespace
}  // namespace quirn::test
