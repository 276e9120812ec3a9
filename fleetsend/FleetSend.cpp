#include "fleetsend/FleetSend.h"

#include <algorithm>
#include <map>
#include <string_view>
#include <unordered_map>

#include "comms/CommoHandler.h"
#include "fleetsend/SendLedger.h"
#include "plans/PlanDatabase.h"
#include "platform/Clock.h"
#include "protocol/PlanDownload.h"
#include "protocol/ReadState.h"

namespace quirn {

namespace {
long long airMs(std::size_t bytes) {
    constexpr std::size_t rate = SendEstimate::kAirBytesPerSecond;
    return static_cast<long long>((bytes * 1000 + rate - 1) / rate);
}
}  // namespace

std::string SendSummary::text() const {
    std::string out =
        "Sending programming to " + selection.text() + (stopped ? " stopped: " : " ended: ");
    out += groupedNumber(sent) + " sent, " + groupedNumber(givenUp) + " given up";
    if (stopped) out += ", " + groupedNumber(notSent) + " not sent";
    return out + " (" + groupedNumber(bytesSent) + " bytes).";
}

FleetSend::FleetSend(const Clock& clock, TimerService& timers, CommoHandler& commo,
                     PlanDownload& download, PlanDatabase& database, SendLedger& ledger,
                     LogWriter log)
    : clock_(clock),
      timers_(timers),
      commo_(commo),
      download_(download),
      database_(database),
      ledger_(ledger),
      log_(std::move(log)) {}

FleetSend::~FleetSend() {
    stopTimer();
}

void FleetSend::startTimer() {
    if (timer_ == TimerService::kNoTimer) timer_ = timers_.start(kTickMs, [this] { tick(); });
}

void FleetSend::stopTimer() {
    timers_.stop(timer_);
    timer_ = TimerService::kNoTimer;
}

bool FleetSend::prepare(const SendSelection& selection) {
    if (state_ == State::Planning || state_ == State::Sending) return false;
    planner_.emplace(database_, download_, ledger_, selection);
    items_.clear();
    estimate_ = SendEstimate{};
    progress_ = SendProgress{};
    progress_.selection = selection;
    state_ = State::Planning;
    ++planNumber_;
    startTimer();
    return true;
}

bool FleetSend::prepareNow(const SendSelection& selection) {
    if (!prepare(selection)) return false;
    while (state_ == State::Planning) tick();
    return true;
}

bool FleetSend::confirm(const std::string& reason) {
    if (state_ != State::Prepared) return false;
    state_ = State::Sending;
    stopping_ = false;
    reason_ = reason;
    started_ = clock_.now();
    lastLedgerSaveMs_ = clock_.nowMs();
    airEndMs_ = 0;
    radioHanded_ = 0;
    progress_.total = estimate_.messages;
    log_.logSystem(clock_, "Sending programming to " + progress_.selection.text() + " started " +
                               reason + ": " +
                               estimate_.text().substr(0, estimate_.text().find('\n')));
    for (const SendItem& item : items_)
        if (item.status == SendItem::Status::GivenUp)
            pendingLog_.push_back("Programming for " + item.name + " not sent: " + item.reason +
                                  ".");
    flushLog();
    queueItems();
    startTimer();
    finishIfDone();
    return true;
}

void FleetSend::cancel() {
    if (state_ != State::Planning && state_ != State::Prepared) return;
    planner_.reset();
    items_.clear();
    state_ = State::Idle;
    stopTimer();
}

void FleetSend::stop() {
    if (state_ == State::Planning || state_ == State::Prepared) {
        cancel();
        return;
    }
    if (state_ != State::Sending || stopping_) return;
    stopping_ = true;
    auto drop = [this](std::size_t index) {
        items_[index].status = SendItem::Status::NotSent;
        items_[index].reason = "stopped before it was sent";
        items_[index].at = clock_.now();
        ++progress_.notSent;
    };
    for (std::size_t index : radioWaiting_) drop(index);
    radioWaiting_.clear();
    for (const IpLine& line : ipLines_)
        for (std::size_t index = line.first; index != kNoItem; index = nextInLine_[index])
            drop(index);
    clearIpLines();
    finishIfDone();
}

void FleetSend::endNow(const std::string& reason) {
    if (state_ != State::Sending) {
        cancel();
        return;
    }
    stop();
    if (state_ != State::Sending) return;
    for (const RadioFlight& f : radioFlight_) giveUp(f.item, reason);
    radioFlight_.clear();
    for (const auto& [address, f] : ipFlight_) giveUp(f.item, reason);
    ipFlight_.clear();
    finishIfDone();
}

void FleetSend::tick() {
    if (state_ == State::Planning) {
        if (planner_->step(kPlanSlice)) {
            items_ = std::move(planner_->items());
            estimate_ = planner_->estimate();
            planner_.reset();
            state_ = State::Prepared;
            stopTimer();
        }
        return;
    }
    if (state_ != State::Sending) return;
    checkRadio();
    checkIp();
    if (!stopping_) {
        feedRadio();
        startIp();
    }
    flushLog();
    if (clock_.nowMs() - lastLedgerSaveMs_ >= kLedgerSaveMs) {
        lastLedgerSaveMs_ = clock_.nowMs();
        ledger_.saveIfDirty();
    }
    finishIfDone();
}

SendProgress FleetSend::progress() const {
    SendProgress p = progress_;
    p.planning = state_ == State::Planning;
    p.prepared = state_ == State::Prepared;
    p.running = state_ == State::Sending;
    p.stopping = stopping_;
    return p;
}

void FleetSend::queueItems() {
    radioWaiting_.clear();
    clearIpLines();
    nextInLine_.assign(items_.size(), kNoItem);
    // Each address's line, found by the address as the items hold it.
    std::unordered_map<std::string_view, std::size_t> lineOf;
    lineOf.reserve(items_.size());
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const SendItem& item = items_[i];
        if (item.status != SendItem::Status::Waiting) continue;
        if (item.link == SendLink::Radio) {
            radioWaiting_.push_back(i);
            continue;
        }
        auto [at, added] = lineOf.try_emplace(std::string_view(item.address), ipLines_.size());
        if (added) ipLines_.emplace_back();
        IpLine& line = ipLines_[at->second];
        if (line.count == 0) {
            ipTurns_.push_back(at->second);
            line.first = i;
        } else {
            nextInLine_[line.last] = i;
        }
        line.last = i;
        ++line.count;
        ++ipWaitingCount_;
    }
}

void FleetSend::clearIpLines() {
    ipLines_.clear();
    ipTurns_.clear();
    ipWaitingCount_ = 0;
}

std::size_t FleetSend::popIpLine(IpLine& line) {
    const std::size_t index = line.first;
    line.first = nextInLine_[index];
    if (--line.count == 0) line = IpLine{};
    --ipWaitingCount_;
    return index;
}

// The programming as it stands now: the send carries the latest edits, not the estimate's.
std::string FleetSend::buildBytes(SendItem& item) {
    if (item.kind == SendItem::Kind::GroupPages)
        return SendPlanner::groupPagesOf(download_, item.key.masterGroup, item.key.group);
    const Location* l =
        database_.findLocation(item.key.masterGroup, item.key.group, item.key.location);
    if (l == nullptr) return {};
    return SendPlanner::programmingOf(download_, *l);
}

// --- Radio -----------------------------------------------------------------------------------

// Every radio message still waiting, at once: one System log line for them all, as a fleet's
// worth of lines would hold the tick for long.
void FleetSend::giveUpRadioWaiting(const std::string& reason) {
    if (radioWaiting_.empty()) return;
    for (std::size_t index : radioWaiting_) giveUp(index, reason, Logged::No);
    log_.logSystem(clock_, std::to_string(radioWaiting_.size()) +
                               " radio messages of the send given up: " + reason + ".");
    radioWaiting_.clear();
}

void FleetSend::feedRadio() {
    if (radioWaiting_.empty()) return;
    SerialPort& radio = commo_.serialPort();
    if (!radio.isUsed()) {
        giveUpRadioWaiting("the station has no radio port");
        return;
    }
    // A page on the air now would cover the reply of the location being read.
    if (radio.isReading()) return;
    const long long now = clock_.nowMs();
    airEndMs_ = std::max({airEndMs_, radio.onAirUntilMs(), now});
    if (airEndMs_ - now >= kAirLeadMs) return;
    while (!radioWaiting_.empty() && airEndMs_ - now < kAirAheadMs) {
        const std::size_t index = radioWaiting_.front();
        radioWaiting_.pop_front();
        SendItem& item = items_[index];
        item.marksWhenBuilt = ledger_.marks();
        const std::string bytes = buildBytes(item);
        if (bytes.empty()) {
            giveUp(index, "it has no programming any more");
            continue;
        }
        const std::size_t portGivenUp = radio.givenUpMessages();
        if (!commo_.writeRadio(bytes)) {
            giveUp(index,
                   radio.isLost() ? "the radio port is lost" : "the radio port did not take it");
            if (radio.isLost()) giveUpRadioWaiting("the radio port is lost");
            return;
        }
        radioHanded_ += bytes.size();
        airEndMs_ = std::max(airEndMs_, now) + airMs(bytes.size());
        radio.coverOnAirUntil(airEndMs_);
        item.bytes = bytes.size();
        item.status = SendItem::Status::InFlight;
        progress_.current = item.name;
        if (item.kind == SendItem::Kind::Location) {
            if (Location* l =
                    database_.findLocation(item.key.masterGroup, item.key.group, item.key.location))
                setReadState(*l, ReadState::Writing, clock_.now());
        }
        radioFlight_.push_back(RadioFlight{index, airEndMs_, radioHanded_, portGivenUp});
    }
}

void FleetSend::checkRadio() {
    const SerialPort& radio = commo_.serialPort();
    const long long now = clock_.nowMs();
    while (!radioFlight_.empty()) {
        const RadioFlight& f = radioFlight_.front();
        if (radio.givenUpMessages() > f.portGivenUpBefore) {
            giveUp(f.item, "the radio port did not send it within " +
                               std::to_string(RadioOutgoing::kGiveUpMs / 60000) + " minutes");
        } else if (radio.isLost()) {
            giveUp(f.item, "the radio port was lost while it was sent");
        } else {
            // Bytes still with the port may be anyone's: counting them all as the send's own
            // can only make a message wait longer, never count it sent early.
            const std::size_t taken = radioHanded_ - std::min(radioHanded_, radio.outgoingBytes());
            if (now < f.airEndMs || taken < f.handedThrough) return;
            markSent(f.item);
        }
        radioFlight_.pop_front();
    }
}

// --- IP links --------------------------------------------------------------------------------

void FleetSend::startIp() {
    std::size_t tries = 0;
    std::size_t started = 0;
    while (ipFlight_.size() < kIpAtOnce && started < kIpStartsPerTick && !ipTurns_.empty() &&
           tries++ < kIpTriesPerTick) {
        const std::size_t lineNumber = ipTurns_.front();
        ipTurns_.pop_front();
        IpLine& line = ipLines_[lineNumber];
        const std::string& address = items_[line.first].address;
        const IpConnection* link = commo_.findConnection(address);
        if (link == nullptr) {
            while (line.count > 0) giveUp(popIpLine(line), "no IP connection for " + address);
            continue;
        }
        // One location at a time per link: a second message would join the first connection.
        if (ipFlight_.count(address) != 0 || link->state() != IpConnection::State::Idle) {
            ipTurns_.push_back(lineNumber);
            continue;
        }
        const std::size_t index = popIpLine(line);
        if (line.count > 0) ipTurns_.push_back(lineNumber);
        if (startIpItem(index)) ++started;
    }
}

bool FleetSend::startIpItem(std::size_t index) {
    SendItem& item = items_[index];
    Location* l = database_.findLocation(item.key.masterGroup, item.key.group, item.key.location);
    if (l == nullptr) {
        giveUp(index, "the location is gone");
        return false;
    }
    item.marksWhenBuilt = ledger_.marks();
    const std::size_t bytes = commo_.startDownload(l);
    if (bytes == 0) {
        giveUp(index, "it has no programming any more");
        return false;
    }
    item.bytes = bytes;
    item.status = SendItem::Status::InFlight;
    progress_.current = item.name;
    const IpConnection* link = commo_.findConnection(item.address);
    ipFlight_[item.address] = IpFlight{index, clock_.now(), link ? link->failedSends() : 0};
    return true;
}

void FleetSend::checkIp() {
    const std::time_t now = clock_.now();
    for (auto it = ipFlight_.begin(); it != ipFlight_.end();) {
        IpFlight& f = it->second;
        const IpConnection* link = commo_.findConnection(it->first);
        bool ended = true;
        if (link == nullptr) {
            giveUp(f.item, "its IP connection was removed");
        } else if (link->state() != IpConnection::State::Idle) {
            f.seenBusy = true;
            ended = false;
        } else if (f.seenBusy) {
            if (link->lastConnection() < f.handedAt)
                giveUp(f.item, "no connection to " + it->first);
            else if (link->failedSends() > f.failedSendsBefore)
                giveUp(f.item, "the connection to " + it->first + " did not take all of it");
            else
                markSent(f.item);
        } else {
            ended = false;
        }
        if (!ended && now - f.handedAt > kIpGiveUpSeconds) {
            giveUp(f.item, it->first + " did not take it within " +
                               std::to_string(kIpGiveUpSeconds / 60) + " minutes");
            ended = true;
        }
        it = ended ? ipFlight_.erase(it) : std::next(it);
    }
}

// --- Outcomes --------------------------------------------------------------------------------

void FleetSend::markSent(std::size_t index) {
    SendItem& item = items_[index];
    item.status = SendItem::Status::Sent;
    item.at = clock_.now();
    ++progress_.sent;
    progress_.bytesSent += item.bytes;
    if (item.link == SendLink::Radio) progress_.radioBytesSent += item.bytes;
    if (item.kind == SendItem::Kind::GroupPages) {
        for (int number : item.locations)
            ledger_.recordSent({item.key.masterGroup, item.key.group, number}, item.at, item.bytes,
                               item.marksWhenBuilt);
    } else {
        ledger_.recordSent(item.key, item.at, item.bytes, item.marksWhenBuilt);
    }
}

void FleetSend::giveUp(std::size_t index, const std::string& reason, Logged logged) {
    SendItem& item = items_[index];
    item.status = SendItem::Status::GivenUp;
    item.reason = reason;
    item.at = clock_.now();
    ++progress_.givenUp;
    if (logged == Logged::Yes)
        pendingLog_.push_back("Programming for " + item.name + " by " + sendLinkName(item.link) +
                              " given up: " + reason + ".");
}

// The lines of a tick go to the System log in one write: a tick that gives up a fleet's worth of
// locations must not open the file once for each.
void FleetSend::flushLog() {
    log_.logSystemLines(clock_, pendingLog_);
    pendingLog_.clear();
}

void FleetSend::finishIfDone() {
    if (state_ != State::Sending) return;
    if (!radioWaiting_.empty() || !radioFlight_.empty() || ipWaitingCount_ != 0 ||
        !ipFlight_.empty())
        return;
    finish();
}

void FleetSend::finish() {
    stopTimer();
    state_ = State::Idle;
    SendSummary summary;
    summary.selection = progress_.selection;
    summary.reason = reason_;
    summary.sent = progress_.sent;
    summary.givenUp = progress_.givenUp + estimate_.refused;
    summary.notSent = progress_.notSent;
    summary.bytesSent = progress_.bytesSent;
    summary.stopped = stopping_;
    summary.started = started_;
    summary.ended = clock_.now();
    flushLog();
    logGroupOutcomes();
    log_.logSystem(clock_, summary.text());
    if (!ledger_.saveIfDirty())
        log_.logSystem(
            clock_, "The record of what was sent could not be written to " + ledger_.path() + ".");
    lastSummary_ = std::move(summary);
    stopping_ = false;
}

// One line per group that had something go out: what went by which link.
void FleetSend::logGroupOutcomes() const {
    struct Sent {
        std::size_t pageBytes = 0;
        std::size_t locations = 0;
        std::size_t locationBytes = 0;
    };
    std::map<std::pair<int, int>, Sent> byGroup;
    for (const SendItem& item : items_) {
        if (item.status != SendItem::Status::Sent) continue;
        Sent& s = byGroup[{item.key.masterGroup, item.key.group}];
        if (item.kind == SendItem::Kind::GroupPages) {
            s.pageBytes += item.bytes;
        } else {
            ++s.locations;
            s.locationBytes += item.bytes;
        }
    }
    std::vector<std::string> lines;
    lines.reserve(byGroup.size());
    for (const auto& [group, s] : byGroup) {
        std::string line = "Programming sent to group " + std::to_string(group.second) +
                           " of master group " + std::to_string(group.first) + ":";
        if (s.pageBytes > 0)
            line += " group pages by radio (" + std::to_string(s.pageBytes) + " bytes)";
        if (s.pageBytes > 0 && s.locations > 0) line += ",";
        if (s.locations > 0)
            line += " " + std::to_string(s.locations) + " locations (" +
                    std::to_string(s.locationBytes) + " bytes)";
        lines.push_back(line + ".");
    }
    log_.logSystemLines(clock_, lines);
}

}  // namespace quirn
