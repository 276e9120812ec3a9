#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "comms/CommsConstants.h"
#include "comms/ProtocolMessages.h"
#include "comms/ProtocolReplyJudge.h"
#include "plans/PlanDatabase.h"
#include "plans/Settings.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "protocol/Checksums.h"
#include "protocol/PlanDownload.h"
#include "protocol/ProgramImage.h"
#include "protocol/ReadBack.h"
#include "protocol/Validation.h"
#include "tests/comms/ProtocolReplyJudgeFixture.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::ProtocolReplyJudgeTest;

TEST_F(ProtocolReplyJudgeTest, RecognisesCompactRepliesAndAStridersFirstAnswer) {
    std::string plain = compactReply('A');
    std::string passway = compactReply('a');
    ASSERT_EQ(plain.size(), 16u);
    EXPECT_TRUE(judge.isCompleteImage(*qn510, bytesOf(plain), plain.size()));
    EXPECT_EQ(judge.firstAnswer(*qn510, bytesOf(plain), plain.size()), FirstAnswer::None);
    EXPECT_EQ(judge.firstAnswer(*strider, bytesOf(passway), passway.size()), FirstAnswer::KeepsLog);
    EXPECT_EQ(judge.firstAnswer(*strider, bytesOf(plain), plain.size()), FirstAnswer::NoLog);
    std::string bad = compactReply('a', false);
    EXPECT_FALSE(judge.isCompleteImage(*qn510, bytesOf(bad), bad.size()));
    EXPECT_EQ(judge.firstAnswer(*strider, bytesOf(bad), bad.size()), FirstAnswer::None);
    // Cut short at every length: never complete, never a read past the bytes.
    for (std::size_t n = 0; n < plain.size(); ++n) {
        EXPECT_FALSE(judge.isCompleteImage(*qn510, bytesOf(plain), n)) << n;
        EXPECT_EQ(judge.firstAnswer(*strider, bytesOf(passway), n), FirstAnswer::None) << n;
    }
    EXPECT_FALSE(judge.isErrorReply(*qn510, bytesOf(plain), plain.size()));
}

TEST_F(ProtocolReplyJudgeTest, AnMX40ImageIsCompleteAtExactly968Bytes) {
    std::string image = imageOf(*mx40);
    ASSERT_EQ(image.size(), 968u);
    EXPECT_TRUE(judge.isCompleteImage(*mx40, bytesOf(image), 968));
    EXPECT_FALSE(judge.isCompleteImage(*mx40, bytesOf(image), 967));
    EXPECT_TRUE(judge.acceptReply(*mx40, bytesOf(image), 968));
    EXPECT_EQ(mx40->programBytesReceived, 968);
    EXPECT_FALSE(judge.acceptReply(*qn510, bytesOf(image), 968));  // wrong size for a QN510
}

TEST_F(ProtocolReplyJudgeTest, ShowsProgressAgainstTheModelsSize) {
    judge.reportProgress(*qn510, 5);
    EXPECT_EQ(judge.receivedSoFar(*qn510), 5u);
    EXPECT_EQ(judge.progressText(*qn510, 5), "5 of 776 bytes");
    EXPECT_EQ(judge.progressText(*mx40, 0), "0 of 968 bytes");
    EXPECT_EQ(judge.progressText(*strider, 3), "3 of 100 bytes");
    judge.resetProgress(*qn510);
    EXPECT_EQ(judge.receivedSoFar(*qn510), 0u);
}

TEST_F(ProtocolReplyJudgeTest, WalksTheActivationLogBlocks) {
    std::string block(125, '\0');
    block[1] = 0;
    block[2] = 2;
    EXPECT_EQ(judge.takeLogBlock(*strider, bytesOf(block), block.size()), 1);
    block[1] = 2;
    EXPECT_EQ(judge.takeLogBlock(*strider, bytesOf(block), block.size()), -1);
    EXPECT_EQ(judge.takeLogBlock(*strider, nullptr, 0), -1);
}

TEST_F(ProtocolReplyJudgeTest, ADownloadIsTheLocationsProgrammingFromThePlanDownload) {
    ProtocolMessages withDownload(clock, db, settings,
                                  ProtocolMessages::fromPlanDownload(download));
    std::string program = withDownload.download(*mx40);
    ASSERT_GE(program.size(), 968u);
    EXPECT_NE(program.find(imageOf(*mx40).substr(0, 4)), std::string::npos);
    EXPECT_LE(program.size(), kMessageBufferSize);
    EXPECT_FALSE(withDownload.download(*qn510).empty());
}

}  // namespace
}  // namespace quirn
