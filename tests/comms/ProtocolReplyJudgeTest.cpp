#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "comms/ProtocolMessages.h"
#include "comms/ProtocolReplyJudge.h"
#include "comms/SerialPort.h"
#include "plans/PlanDatabase.h"
#include "plans/Settings.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "platform/ProfileStore.h"
#include "protocol/Checksums.h"
#include "protocol/PlanDownload.h"
#include "protocol/ProgramImage.h"
#include "protocol/ReadBack.h"
#include "protocol/Validation.h"
#include "tests/support/PtyPair.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

// The links' judging done by the real read-back decoders.
class ProtocolReplyJudgeTest : public ::testing::Test {
  protected:
    ProtocolReplyJudgeTest()
        : clock(fromLocal(2026, 3, 16, 7, 30, 0)),
          download(db, clock, settings),
          validation(download),
          readBack(validation),
          judge(clock, readBack, download),
          messages(clock, db, settings) {
        makeFolder(logFolder());
        qn510 = &add(1, TimeSwitchModel::QN510);
        strider = &add(2, TimeSwitchModel::Strider);
        mx40 = &add(3, TimeSwitchModel::MX40);
    }
    Location& add(int number, TimeSwitchModel model) {
        Location l(1, 1, number);
        l.model = static_cast<int32_t>(model);
        return db.addLocation(l);
    }
    // A compact QN510 reply without table entries, with a version letter.
    static std::string compactReply(char version, bool goodChecksum = true) {
        std::string body = std::string("S\x02\x07\x1e", 4) + '\0' + '\0' + version +
                           std::string(2, '\0') + std::string(3, '\0');
        std::string sum = checksumText(replyChecksum(body));
        if (!goodChecksum) sum[0] = sum[0] == '0' ? '1' : '0';
        return body + sum;
    }
    static const unsigned char* bytesOf(const std::string& s) {
        return reinterpret_cast<const unsigned char*>(s.data());
    }
    std::string imageOf(const Location& l) {
        ProgramImage image = download.imageFor(l);
        const auto& bytes = image.bytes();
        return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }

    test::TempWorkingFolder folder;
    ManualClock clock;
    PlanDatabase db;
    Settings settings;
    PlanDownload download;
    Validation validation;
    ReadBack readBack;
    ProtocolReplyJudge judge;
    ProtocolMessages messages;
    Location* qn510 = nullptr;
    Location* strider = nullptr;
    Location* mx40 = nullptr;
};

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

TEST_F(ProtocolReplyJudgeTest, TheRadioOnAPtyReadsAnMX40AndAcknowledgesItsImage) {
    test::PtyPair pty;
    ProfileStore store(folder.file("quirnradio.ini"));
    store.writeString(kSerialSection, "COM1", pty.slavePath());
    SerialPort port(LinkServices{clock, messages, judge, &db}, createSerialDevice(),
                    ComPortMap(&store));
    ASSERT_EQ(port.open(1), 0);
    std::string request = messages.readRequest(*mx40);
    port.readLocation(*mx40, bytesOf(request), request.size());
    port.service();
    EXPECT_EQ(pty.receive(6), std::string("C78\x01\x01\x03", 6));
    EXPECT_EQ(port.statusText(), "Serial Port Reading New Location, 0 of 968 bytes.");
    ASSERT_TRUE(pty.send(imageOf(*mx40)));
    clock.advanceMs(500);
    port.service();
    EXPECT_EQ(pty.receive(1), "K");
    EXPECT_EQ(mx40->replyCount, 1);
    EXPECT_EQ(mx40->programBytesReceived, 968);
    EXPECT_EQ(port.state(), SerialPort::kAfterExchange);
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
