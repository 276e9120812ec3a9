#include "testing/ProgrammedTest.h"

#include "platform/Format.h"
#include "platform/LocalTime.h"
#include "testing/SwitchUnderTest.h"
#include "testing/TestProgrammingStore.h"

namespace quirn {

namespace {
constexpr int kMinutesPerHour = 60;
}

ProgrammedTest::ProgrammedTest(const TimeTestServices& services, std::string name)
    : TimeTest(services, std::move(name)) {}

void ProgrammedTest::programmingChanged() const {
    s_.store.changed();
}

bool ProgrammedTest::programSwitch() {
    if (phase_ == Phase::Idle) {
        if (readFollowUpUnderway()) return false;
        beginDownload();
    }
    return stepDownload();
}

bool ProgrammedTest::checkRelay(const RelayCheck& check) {
    if (phase_ == Phase::Idle) {
        if (readFollowUpUnderway()) return false;
        beginRelayCheck(check);
    }
    return stepRelayCheck();
}

bool ProgrammedTest::readFollowUpUnderway() const {
    return s_.timeSwitch.stillReading() && sinceLastStepMs() < kFollowUpLimitMs;
}

void ProgrammedTest::beginDownload() {
    ++attempts_;
    downloadBytes_ = s_.timeSwitch.startDownload();
    lastStepMs_ = waitStartMs_ = nowMs();
    phase_ = Phase::Downloading;
}

bool ProgrammedTest::stepDownload() {
    switch (phase_) {
        case Phase::Downloading:
            if (sinceWaitStartMs() > SwitchUnderTest::onAirMs(downloadBytes_) + kDownloadSettleMs) {
                askRead();
                phase_ = Phase::ReadingBack;
            }
            return false;
        case Phase::ReadingBack:
            if (answered()) {
                if (s_.timeSwitch.programMatches()) {
                    passed(name() + ": Download OK.");
                    phase_ = Phase::Idle;
                    attempts_ = 0;
                    return true;
                }
                downloadFailed();
            } else if (sinceLastStepMs() > kProgramAnswerMs) {
                downloadFailed();
            }
            return phase_ == Phase::Idle;
        case Phase::DownloadAgain:
            if (!readFollowUpUnderway()) beginDownload();
            return false;
        default:
            return true;
    }
}

void ProgrammedTest::downloadFailed() {
    failed(name() + ": Failed read.");
    if (attempts_ < kDownloadAttempts) {
        phase_ = Phase::DownloadAgain;
        return;
    }
    // The checks still run, each reporting what it finds.
    phase_ = Phase::Idle;
    attempts_ = 0;
}

std::time_t ProgrammedTest::atMinute(std::time_t day, int minuteOfDay) {
    LocalDateTime d = toLocal(day);
    return fromLocal(d.year, d.month, d.day, minuteOfDay / kMinutesPerHour,
                     minuteOfDay % kMinutesPerHour);
}

ProgrammedTest::RelayCheck ProgrammedTest::aroundStep(std::time_t day, int minuteOfDay,
                                                      bool turnsOn) {
    RelayCheck check;
    check.clockSetting = atMinute(day, minuteOfDay) - kStepLeadSeconds;
    check.atOnce = RelayRead{!turnsOn, minuteOfDay};
    check.readAfterMs = kAfterStepReadMs;
    check.after = RelayRead{turnsOn, minuteOfDay};
    return check;
}

void ProgrammedTest::beginRelayCheck(const RelayCheck& check) {
    check_ = check;
    setClock(check.clockSetting);
    if (check.atOnce) {
        askRead();
        phase_ = Phase::BeforeStep;
    } else {
        phase_ = Phase::WaitingForStep;
    }
}

bool ProgrammedTest::atOnceAnswered() {
    const RelayRead& read = *check_.atOnce;
    if (check_.atOnceDecides) {
        relayResult(read);
    } else if (relayOn_ != read.expectOn) {
        note(format(
            "%s:: Relay %s before the step at %d mins, %s expected; not counted, the "
            "read after the step decides.",
            name().c_str(), relayOn_ ? "on" : "off", read.minutes, read.expectOn ? "on" : "off"));
    }
    if (check_.after) {
        phase_ = Phase::WaitingForStep;
        return false;
    }
    phase_ = Phase::Idle;
    return true;
}

bool ProgrammedTest::stepRelayCheck() {
    switch (phase_) {
        case Phase::BeforeStep:
            if (answered()) return atOnceAnswered();
            if (relayAnswerLost()) {
                commoLoss();
                return true;
            }
            return false;
        case Phase::WaitingForStep:
            if (sinceWaitStartMs() > check_.readAfterMs) {
                askRead();
                phase_ = Phase::AfterStep;
            }
            return false;
        case Phase::AfterStep:
            if (answered()) {
                phase_ = Phase::Idle;
                relayResult(*check_.after);
                return true;
            }
            if (relayAnswerLost()) {
                commoLoss();
                return true;
            }
            return false;
        default:
            return true;
    }
}

bool ProgrammedTest::relayAnswerLost() const {
    long long waited = sinceLastStepMs();
    if (waited > kRelayAnswerArrivingMs) return true;
    return waited > kRelayAnswerMs && !s_.timeSwitch.stillReading();
}

void ProgrammedTest::commoLoss() {
    failed(name() + ": FAILED Commo Loss");
    phase_ = Phase::Idle;
}

void ProgrammedTest::relayResult(const RelayRead& read) {
    const bool good = relayOn_ == read.expectOn;
    const std::string text =
        format("%s:: %s %s %d mins.", name().c_str(), good ? "PASSED" : "FAILED",
               read.expectOn ? "on" : "off", read.minutes);
    if (good)
        passed(text);
    else
        failed(text);
}

}  // namespace quirn
