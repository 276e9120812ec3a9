#include <gtest/gtest.h>

#include "app/MinuteScheduler.h"
#include "app/StationReadBackListener.h"
#include "ops/ErrorKinds.h"
#include "ops/ErrorList.h"
#include "ops/LogWriter.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

struct NoJobs : DailyJobs {
    void storeTicks() override {}
    void endOfDay() override {}
    void expireSpecialWeeks() override {}
    void reloadOverrides() override {}
    void announceStart() override {}
    bool startReadBackSave() override { return true; }
};

struct NoMail : ValidateFailureListener {
    int mails = 0;
    void notifyValidateFailure(const ErrorRecord&) override { ++mails; }
};

// What a handled read-back does to the rest of the station, through the real error list.
TEST(StationReadBackListener, PasswayConfirmationValidationLogAndSaveRequest) {
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ASSERT_TRUE(makeFolder(folder.logs()));
    ManualClock clock(fromLocal(2026, 12, 9, 10, 0, 0));
    NoMail mail;
    ErrorList errors(clock, working, mail);
    NoJobs jobs;
    MinuteScheduler scheduler(clock, jobs);
    StationReadBackListener listener(clock, logWriter, errors, scheduler);
    Location strider(1, 3, 7);
    strider.name = "Main St";

    listener.passwayConfirm(strider, true);
    listener.passwayConfirm(strider, true);
    EXPECT_EQ(errors.countOfKind(ErrorKind::PWConfirm), 1u);
    listener.passwayConfirm(strider, false);
    EXPECT_EQ(errors.countOfKind(ErrorKind::PWConfirm), 0u);

    listener.passwayConfirm(strider, true);
    listener.locationValidated(strider);  // a location read again clears its records
    EXPECT_EQ(errors.countOfKind(ErrorKind::PWConfirm), 0u);

    const unsigned char reply[] = {'S', 1, 2};
    listener.replyReceived(strider, reply, sizeof reply);
    EXPECT_EQ(test::readFile(logWriter.logFileName(clock, kLogLocation)),
              std::string("10:00,Main St,7 01, 03, 07,3,S") + '\x01' + '\x02' + '\0');

    EXPECT_FALSE(scheduler.readBackSaveRequested());
    listener.requestReadBackSave();
    EXPECT_TRUE(scheduler.readBackSaveRequested());
}

}  // namespace
}  // namespace quirn
