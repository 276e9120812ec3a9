#include "testing/TestDateFlip.h"

#include "platform/LocalTime.h"

namespace quirn {

namespace {
constexpr int kNoon = 12;
// Seven seconds before midnight.
constexpr int kSetHour = 23;
constexpr int kSetMinute = 59;
constexpr int kSetSecond = 53;
}  // namespace

TestDateFlip::TestDateFlip(const TimeTestServices& services, std::time_t firstDate)
    : TimeTest(services, "TestDateFlip") {
    LocalDateTime d = toLocal(firstDate);
    testDate_ = fromLocal(d.year, d.month, d.day, kNoon);
}

std::string TestDateFlip::startText() const {
    return "Starting test date flip.  Should run about 5 hours.";
}

bool TestDateFlip::finished() const {
    return days_ > kDays || toLocal(testDate_).year >= kEndYear;
}

void TestDateFlip::nextDate() {
    LocalDateTime d = toLocal(testDate_);
    testDate_ = fromLocal(d.year, d.month, d.day + 1, kNoon);
    ++days_;
    state_ = kSetClock;
}

bool TestDateFlip::step() {
    switch (state_) {
        case kSetClock: {
            if (finished()) {
                note(name() + ": Test Complete");
                return true;
            }
            LocalDateTime d = toLocal(testDate_);
            expected_ = LocalDateTime{d.year, d.month, d.day + 1, 0, 0, 0};
            setClock(fromLocal(d.year, d.month, d.day, kSetHour, kSetMinute, kSetSecond));
            state_ = kWaitForMidnight;
            return false;
        }
        case kWaitForMidnight:
            if (sinceWaitStartMs() > kReadAfterMs) {
                askRead();
                state_ = kWaitForAnswer;
            }
            return false;
        case kWaitForAnswer:
            if (answered()) {
                if (clockAhead())
                    passed(name() + ": PASSED Start Time");
                else
                    failed(name() + ": FAILED Start Time");
                nextDate();
            } else if (sinceLastStepMs() > kAnswerMs) {
                failed(name() + ": FAILED Commo Loss");
                nextDate();
            }
            return false;
        default:
            state_ = kSetClock;
            return false;
    }
}

}  // namespace quirn
