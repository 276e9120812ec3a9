#include "testing/TimeTest.h"

#include "platform/Clock.h"
#include "testing/SwitchUnderTest.h"
#include "testing/WallClock.h"

namespace quirn {

TimeTest::TimeTest(const TimeTestServices& services, std::string name)
    : s_(services), name_(std::move(name)) {
    lastStepMs_ = waitStartMs_ = nowMs();
}

std::time_t TimeTest::now() const {
    return s_.clock.now();
}

long long TimeTest::nowMs() const {
    return s_.clock.nowMs();
}

void TimeTest::note(const std::string& text) const {
    s_.lines.testLine(text, LineKind::Note);
}

void TimeTest::passed(const std::string& text) const {
    s_.lines.testLine(text, LineKind::Passed);
}

void TimeTest::failed(const std::string& text) const {
    s_.lines.testLine(text, LineKind::Failed);
}

void TimeTest::setClock(std::time_t when) {
    s_.timeSwitch.setClock(when);
    lastStepMs_ = waitStartMs_ = nowMs();
}

void TimeTest::askRead() {
    readBack_ = kNever;
    s_.timeSwitch.startRead();
    lastStepMs_ = nowMs();
}

bool TimeTest::answered() {
    if (!(readBack_ == kNever)) return true;
    if (auto reading = s_.timeSwitch.answer()) {
        readBack_ = reading->clock;
        relayOn_ = reading->relayOn;
    }
    return !(readBack_ == kNever);
}

bool TimeTest::clockAhead() const {
    long long ahead = wallDifference(readBack_, expected_);
    return ahead > 0 && ahead < kClockAheadLimitSeconds;
}

}  // namespace quirn
