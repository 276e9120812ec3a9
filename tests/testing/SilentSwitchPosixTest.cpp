#include <gtest/gtest.h>

#include "tests/testing/TimeTestBench.h"

namespace quirn::test {
namespace {

constexpr long long kDayMs = 24LL * 3600 * 1000;

struct SilentRow {
    TestKind kind;
    const char* lossLine;  // the test's line for an answer that never came
    int losses;
    int failedReads;  // program read-backs given up
    const char* complete;
};

// A switch that never answers: every check ends in the test's lost-answer line, a program that
// cannot be read back is tried again, and each test still runs to its end.
std::string rowName(const ::testing::TestParamInfo<SilentRow>& info) {
    static const char* const kNames[] = {"DateFlip", "Step16", "Ap36", "Dwp", "Step2460", "Dst"};
    return kNames[static_cast<int>(info.param.kind)];
}

class SilentSwitch : public TimeTestBench, public ::testing::WithParamInterface<SilentRow> {};

TEST_P(SilentSwitch, EveryCheckEndsInItsLostAnswerLineAndTheTestMovesOn) {
    const SilentRow& row = GetParam();
    attachSwitch(sim::SimModel::MX40, fromLocal(2037, 1, 10, 8, 0, 0),
                 [](sim::SimSettings& s) { s.faults.noAnswer = true; });
    TestChoices choices;
    choices.dateFlipStart = fromLocal(2037, 12, 30, 12, 0, 0);
    ASSERT_TRUE(runTest(row.kind, kDayMs, choices)) << lines.dump();
    int losses = 0;
    int failedReads = 0;
    for (const std::string& line : lines.of(LineKind::Failed)) {
        if (line == row.lossLine)
            ++losses;
        else if (line.find(": Failed read.") != std::string::npos)
            ++failedReads;
        else
            ADD_FAILURE() << "unexpected failure " << line;
    }
    EXPECT_EQ(losses, row.losses);
    EXPECT_EQ(failedReads, row.failedReads);
    EXPECT_TRUE(lines.of(LineKind::Passed).empty());
    EXPECT_TRUE(lines.has(row.complete)) << lines.dump();
}

INSTANTIATE_TEST_SUITE_P(
    EachTest, SilentSwitch,
    ::testing::Values(SilentRow{TestKind::DateFlip, "TestDateFlip: FAILED Commo Loss", 2, 0,
                                "TestDateFlip: Test Complete"},
                      SilentRow{TestKind::Step16, "TestStep16: FAILED Commo Loss", 9 * 16, 3,
                                "TestStep16:: Test Complete"},
                      SilentRow{TestKind::Ap36, "TestAP36: FAILED Commo Loss", 36, 3,
                                "TestAP36: Test Complete"},
                      SilentRow{TestKind::Dwp, "TestDWP: FAILED Commo Loss", 7 * 4 + 4 * 4, 2 * 3,
                                "TestDWP: Test Complete"},
                      SilentRow{TestKind::Step2460, "Test2460: FAILED Commo Loss", 231, 20 * 3,
                                "Test2460: Test Complete"},
                      SilentRow{TestKind::Dst, "Read timeout.", 2, 0, "TestDST: Test Complete"}),
    rowName);

}  // namespace
}  // namespace quirn::test
