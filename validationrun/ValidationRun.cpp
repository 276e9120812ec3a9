#include "validationrun/ValidationRun.h"

#include <algorithm>

#include "comms/CommoHandler.h"
#include "plans/PlanDatabase.h"
#include "platform/Clock.h"
#include "protocol/ReadState.h"
#include "validationrun/ReadOutcomeSink.h"

namespace quirn {

namespace {

// The read state rule asks whether a location's link still reads: for the radio, bytes of the
// request still waiting for the transmitter count as reading too.
class HandlerLinkStatus final : public ReadLinkStatus {
  public:
    explicit HandlerLinkStatus(CommoHandler& commo) : commo_(commo) {}
    std::optional<bool> linkReading(const Location& location) const override {
        if (location.connection == kRadioAddress) {
            const SerialPort& radio = commo_.serialPort();
            return radio.isReading() || radio.transmitWaiting() > 0;
        }
        const CommoLink* link = commo_.connectionForLocation(&location);
        if (!link) return std::nullopt;
        return link->isReading();
    }

  private:
    CommoHandler& commo_;
};

std::string currentText(const Location& l) {
    return l.name + " (" + std::to_string(l.masterGroup) + ", " + std::to_string(l.group) + ", " +
           std::to_string(l.number) + ")";
}

bool stillReading(ReadState state) {
    return state == ReadState::Reading || state == ReadState::ReadingAgain;
}

}  // namespace

std::string RunSummary::text() const {
    std::string out =
        "Validation run of " + selection.text() + (stopped ? " stopped: " : " ended: ");
    out += counts.text();
    if (stopped) out += ", " + std::to_string(notRead) + " not read";
    return out + ".";
}

ValidationRun::ValidationRun(const Clock& clock, TimerService& timers, CommoHandler& commo,
                             PlanDatabase& database, LogWriter log, ReadOutcomeSink* sink)
    : clock_(clock),
      timers_(timers),
      commo_(commo),
      database_(database),
      log_(std::move(log)),
      sink_(sink) {}

ValidationRun::~ValidationRun() {
    timers_.stop(timer_);
}

ValidationRun::StartResult ValidationRun::start(const RunSelection& selection,
                                                const std::string& reason) {
    if (running_) {
        log_.logSystem(clock_, "Validation run of " + selection.text() + " " + reason +
                                   " not started: the run of " + progress_.selection.text() +
                                   " is still under way.");
        return StartResult::AlreadyRunning;
    }
    running_ = true;
    stopping_ = false;
    cursor_.emplace(database_, selection);
    queues_.clear();
    inFlight_.clear();
    progress_ = RunProgress{};
    progress_.selection = selection;
    reason_ = reason;
    started_ = clock_.now();
    dropped_ = 0;
    log_.logSystem(clock_, "Validation run of " + selection.text() + " started " + reason + ".");
    timer_ = timers_.start(kTickMs, [this] { tick(); });
    gather();
    return StartResult::Started;
}

void ValidationRun::stop() {
    if (!running_ || stopping_) return;
    stopping_ = true;
    dropped_ = queues_.size();
    queues_.clear();
    cursor_.reset();
    finishIfDone();
}

void ValidationRun::tick() {
    if (!running_) return;
    gather();
    checkReads();
    if (!stopping_) startReads();
    finishIfDone();
}

RunProgress ValidationRun::progress() const {
    RunProgress p = progress_;
    p.running = running_;
    p.stopping = stopping_;
    p.gathering = cursor_.has_value() && !cursor_->done();
    return p;
}

void ValidationRun::gather() {
    if (!cursor_ || cursor_->done()) return;
    cursor_->step(kSelectionSlice, [this](Location& l) { take(l); });
}

void ValidationRun::take(Location& location) {
    if (location.isValidateDisabled(&commo_)) {
        ++progress_.counts.skippedDisabled;
        return;
    }
    queues_.push(location);
    ++progress_.total;
}

void ValidationRun::checkReads() {
    auto ended = std::remove_if(inFlight_.begin(), inFlight_.end(),
                                [this](InFlight& read) { return readEnded(read); });
    inFlight_.erase(ended, inFlight_.end());
}

// A read has ended once its link handed the location a reply (the reply count moved on) or
// the read state rule ended it: the link stopped reading without one (an error reply, a link
// that refused the request), or its time ran out.
bool ValidationRun::readEnded(InFlight& read) {
    const std::time_t now = clock_.now();
    Location* l = database_.findLocation(read.key.masterGroup, read.key.group, read.key.location);
    ReadOutcome outcome = ReadOutcome::Gone;
    bool handled = false;
    if (l) {
        const HandlerLinkStatus links(commo_);
        const ReadState state = refreshReadState(*l, now, &links);
        if (l->replyCount == read.repliesBefore && stillReading(state)) return false;
        handled = l->receivedData;
        outcome = outcomeOf(state);
    }
    progress_.counts.add(outcome);
    ++progress_.done;
    if (l && sink_) sink_->runReadEnded(*l, outcome, now, handled);
    return true;
}

bool ValidationRun::radioQuiet() const {
    const SerialPort& radio = commo_.serialPort();
    // The estimate's end counts too: what a send handed the driver may still be on the air.
    return !radio.isReading() && !radio.isWriting() && radio.transmitWaiting() == 0 &&
           radio.onAirUntilMs() <= clock_.nowMs();
}

bool ValidationRun::ipCanStart(const std::string& address) const {
    for (const InFlight& read : inFlight_)
        if (read.address == address) return false;
    const CommoLink* link = commo_.findConnection(address);
    return !link || !link->isReading();
}

void ValidationRun::startReads() {
    const bool radioBusy =
        std::any_of(inFlight_.begin(), inFlight_.end(), [](const InFlight& r) { return r.radio; });
    // The next radio read waits for the previous one and for the air to be free.
    while (!radioBusy && queues_.radioWaiting() && radioQuiet())
        if (startRead(*queues_.nextRadio(), true)) break;
    std::size_t ipReads = static_cast<std::size_t>(std::count_if(
        inFlight_.begin(), inFlight_.end(), [](const InFlight& r) { return !r.radio; }));
    std::size_t tries = 0;
    while (ipReads < kIpReadsAtOnce && queues_.ipWaiting() && tries++ < kIpTriesPerTick) {
        auto next =
            queues_.nextIp([this](const std::string& a) { return ipCanStart(a); }, kIpTriesPerTick);
        if (!next) break;
        if (startRead(next->second, false)) ++ipReads;
    }
}

// False when the location is gone (counted, nothing started).
bool ValidationRun::startRead(const LocationKey& key, bool radio) {
    Location* l = database_.findLocation(key.masterGroup, key.group, key.location);
    if (!l) {
        progress_.counts.add(ReadOutcome::Gone);
        ++progress_.done;
        return false;
    }
    InFlight read{key, l->connection, l->replyCount, radio};
    progress_.current = currentText(*l);
    // Set again by the read-back handler when this read reaches it (a reply, or nothing).
    l->receivedData = false;
    commo_.startRead(*l);
    inFlight_.push_back(std::move(read));
    return true;
}

void ValidationRun::finishIfDone() {
    if (!running_ || !inFlight_.empty()) return;
    const bool walked = !cursor_ || cursor_->done();
    if (stopping_ || (walked && queues_.size() == 0)) finish();
}

void ValidationRun::finish() {
    timers_.stop(timer_);
    timer_ = TimerService::kNoTimer;
    running_ = false;
    RunSummary summary;
    summary.selection = progress_.selection;
    summary.reason = reason_;
    summary.counts = progress_.counts;
    summary.notRead = dropped_;
    summary.stopped = stopping_;
    summary.started = started_;
    summary.ended = clock_.now();
    log_.logSystem(clock_, summary.text());
    lastSummary_ = std::move(summary);
    stopping_ = false;
    cursor_.reset();
}

}  // namespace quirn
