#pragma once
#include <gtest/gtest.h>

#include <string>

#include "comms/ProtocolMessages.h"
#include "comms/ProtocolReplyJudge.h"
#include "ops/LogWriter.h"
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
#include "tests/support/TempFolder.h"

namespace quirn::test {

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
        makeFolder(folder.logs());
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

    TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
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

}  // namespace quirn::test
