#pragma once
#include <cstddef>
#include <ctime>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "fleetsend/SendEstimate.h"
#include "fleetsend/SendItem.h"
#include "fleetsend/SendPlanner.h"
#include "fleetsend/SendSelection.h"
#include "ops/LogWriter.h"
#include "platform/TimerService.h"

namespace quirn {

class Clock;
class CommoHandler;
class PlanDatabase;
class PlanDownload;
class SendLedger;

// Where a send stands, for a window or a terminal to show.
struct SendProgress {
    bool planning = false;  // the selection is being walked; the estimate is not whole yet
    bool prepared = false;  // planned, waiting for the technician's confirmation
    bool running = false;   // sending
    bool stopping = false;
    std::size_t total = 0;  // items that can be sent
    std::size_t sent = 0;
    std::size_t givenUp = 0;  // given up while sending (the refused ones are in the estimate)
    std::size_t notSent = 0;  // dropped by Stop
    std::size_t bytesSent = 0;
    std::size_t radioBytesSent = 0;
    std::string current;  // the last item handed to a link
    SendSelection selection;
    std::size_t done() const { return sent + givenUp + notSent; }
};

// The end of a send.
struct SendSummary {
    SendSelection selection;
    std::string reason;
    std::size_t sent = 0;
    std::size_t givenUp = 0;  // given up while sending, and refused when planned
    std::size_t notSent = 0;
    std::size_t bytesSent = 0;
    bool stopped = false;
    std::time_t started = 0;
    std::time_t ended = 0;
    // "Sending programming to all locations ended: 120 sent, 2 given up." as the System log has
    // it.
    std::string text() const;
};

// Sends programming to a selection of the fleet through the communications handler, each
// switch over its own link: the QN510s on the radio as their group's pages (one broadcast for
// the whole group), every other location its own programming. First the selection is planned,
// a slice per tick, into messages with an estimate; the send starts when it is confirmed.
//
// The radio is kept busy without being flooded: the send keeps its own account of when the
// transmitter will be done with what it was handed (at SendEstimate::kAirBytesPerSecond) and
// hands the next messages, whole, whenever less than kAirLeadMs is left, up to kAirAheadMs;
// never while the radio reads a location. A radio message counts as sent once its air time is
// over and the port's driver took its last byte; one the port gave up, or lost with the port,
// is given up. IP links take one location at a time each, at most kIpAtOnce at once; a
// location counts as sent once its link connected and closed again after it was handed over
// with every byte taken by the system, and is given up when the link could not connect, lost
// bytes, or did not finish within kIpGiveUpSeconds.
// Stop drops what waits (reported "not sent"); what is in flight ends as its link ends it.
// What went out is written to the ledger. Driven by its own timer from the station's timer
// service; one send at a time.
class FleetSend {
  public:
    static constexpr int kTickMs = 250;
    static constexpr std::size_t kPlanSlice = 1000;
    static constexpr long long kAirLeadMs = 4000;
    static constexpr long long kAirAheadMs = 12000;
    static constexpr std::size_t kIpAtOnce = 8;
    // New IP downloads handed over per tick: each builds its switch's programming (an image of
    // a group not built yet costs some 15 ms at the largest fleet), and the handler passes one
    // message to an IP link per tick of its own (twice as long as this one's) anyway.
    static constexpr std::size_t kIpStartsPerTick = 1;
    static constexpr std::size_t kIpTriesPerTick = 64;
    static constexpr std::time_t kIpGiveUpSeconds = 180;
    // What went out is written to the ledger this often while a send runs, and at its end.
    static constexpr long long kLedgerSaveMs = 30000;

    FleetSend(const Clock& clock, TimerService& timers, CommoHandler& commo, PlanDownload& download,
              PlanDatabase& database, SendLedger& ledger, LogWriter log);
    ~FleetSend();
    FleetSend(const FleetSend&) = delete;
    FleetSend& operator=(const FleetSend&) = delete;

    // Starts planning a send; false (nothing changes) while another is planned or sending.
    bool prepare(const SendSelection& selection);
    // The same, planned to the end before it returns (a tool's send, tests).
    bool prepareNow(const SendSelection& selection);
    bool planned() const { return state_ == State::Prepared; }
    // Counts the plans started: which prepare() the send planned, running or last ended came
    // from, so that a window tells its own plan from another's.
    std::size_t planNumber() const { return planNumber_; }
    // The estimate of the send planned (whole once planned()), running or last ended.
    const SendEstimate& estimate() const { return estimate_; }
    // Starts sending what was planned; `reason` names who asked ("by the technician") in the
    // System log. False when nothing is planned.
    bool confirm(const std::string& reason);
    // Drops a plan not confirmed.
    void cancel();
    // Drops everything not yet handed to a link; what is in flight ends, then the send ends.
    void stop();
    // Ends a send at once (the program is closing): what waits is not sent, what is in flight is
    // given up with `reason`, as its outcome can no longer be known.
    void endNow(const std::string& reason);
    // One step (its timer calls it).
    void tick();

    bool busy() const { return state_ != State::Idle; }
    bool running() const { return state_ == State::Sending; }
    SendProgress progress() const;
    // The items of the send planned, running or last ended.
    const std::vector<SendItem>& items() const { return items_; }
    const std::optional<SendSummary>& lastSummary() const { return lastSummary_; }

  private:
    enum class State { Idle, Planning, Prepared, Sending };
    struct RadioFlight {
        std::size_t item;
        long long airEndMs;
        std::size_t handedThrough;  // the send's radio bytes handed, this message's included
        std::size_t portGivenUpBefore;
    };
    // The items waiting for one IP address, first come first served, chained through the
    // send's own list (nextInLine_): the largest fleet has tens of thousands of addresses with
    // one item each, and a list of its own for each held the confirmation beyond a frame.
    static constexpr std::size_t kNoItem = static_cast<std::size_t>(-1);
    struct IpLine {
        std::size_t first = kNoItem;
        std::size_t last = kNoItem;
        std::size_t count = 0;
    };
    struct IpFlight {
        std::size_t item;
        std::time_t handedAt;
        std::size_t failedSendsBefore;
        bool seenBusy = false;
    };

    void startTimer();
    void stopTimer();
    void queueItems();
    std::string buildBytes(SendItem& item);
    void feedRadio();
    void checkRadio();
    void startIp();
    std::size_t popIpLine(IpLine& line);
    void clearIpLines();
    bool startIpItem(std::size_t index);
    void checkIp();
    void markSent(std::size_t index);
    enum class Logged { Yes, No };
    void giveUp(std::size_t index, const std::string& reason, Logged logged = Logged::Yes);
    void giveUpRadioWaiting(const std::string& reason);
    void flushLog();
    void finishIfDone();
    void finish();
    void logGroupOutcomes() const;

    const Clock& clock_;
    TimerService& timers_;
    CommoHandler& commo_;
    PlanDownload& download_;
    PlanDatabase& database_;
    SendLedger& ledger_;
    LogWriter log_;

    TimerService::TimerId timer_ = TimerService::kNoTimer;
    std::optional<SendPlanner> planner_;
    std::vector<SendItem> items_;
    SendEstimate estimate_;
    State state_ = State::Idle;
    std::size_t planNumber_ = 0;
    bool stopping_ = false;
    std::deque<std::size_t> radioWaiting_;
    std::deque<RadioFlight> radioFlight_;
    std::vector<IpLine> ipLines_;
    std::vector<std::size_t> nextInLine_;  // by item: the next one waiting for its address
    std::deque<std::size_t> ipTurns_;      // the lines with items waiting, in turn
    std::size_t ipWaitingCount_ = 0;
    std::unordered_map<std::string, IpFlight> ipFlight_;
    long long airEndMs_ = 0;
    std::size_t radioHanded_ = 0;
    long long lastLedgerSaveMs_ = 0;
    SendProgress progress_;
    std::string reason_;
    std::time_t started_ = 0;
    std::optional<SendSummary> lastSummary_;
    std::vector<std::string> pendingLog_;  // the System log lines of this tick
};

}  // namespace quirn
