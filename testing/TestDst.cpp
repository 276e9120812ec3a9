#include "testing/TestDst.h"

#include "platform/Format.h"

namespace quirn {

namespace {
constexpr const char* kClockFormat = "Clock = %A, %B %d, %Y, %H:%M.%S";
}  // namespace

TestDst::TestDst(const TimeTestServices& services, std::vector<DaylightChange> changes)
    : TimeTest(services, "TestDST"), changes_(std::move(changes)) {}

std::vector<DaylightChange> TestDst::changesFrom(std::time_t now) {
    return daylightChanges(fromLocal(toLocal(now).year, 1, 1), kLastYear, kChanges);
}

std::string TestDst::startText() const {
    return "Starting test DST.  Should run about 21 hours.";
}

void TestDst::report() {
    const DaylightChange& change = changes_[next_];
    const std::string text =
        format("%s: %s %s %d. %s.", name().c_str(), clockAhead() ? "PASSED" : "FAILED",
               change.spring ? "Spring" : "Fall", change.year,
               formatLocal(kClockFormat, readBack_).c_str());
    if (clockAhead())
        passed(text);
    else
        failed(text);
}

bool TestDst::step() {
    switch (state_) {
        case kSetClock: {
            if (next_ >= changes_.size()) {
                if (changes_.empty())
                    note(name() + ": No daylight-saving change is known for this time zone.");
                note(name() + ": Test Complete");
                return true;
            }
            const std::time_t change = changes_[next_].at;
            expected_ = toLocal(change + kExpectedAfterChangeSeconds);
            setClock(change - kLeadSeconds);
            state_ = kWaitPastChange;
            return false;
        }
        case kWaitPastChange:
            if (sinceWaitStartMs() > kReadAfterMs) {
                askRead();
                state_ = kWaitForAnswer;
            }
            return false;
        case kWaitForAnswer:
            if (answered()) {
                report();
                ++next_;
                state_ = kSetClock;
            } else if (sinceWaitStartMs() > kAnswerMs) {
                failed("Read timeout.");
                ++next_;
                state_ = kSetClock;
            }
            return false;
        default:
            state_ = kSetClock;
            return false;
    }
}

}  // namespace quirn
