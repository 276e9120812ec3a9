#pragma once
#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "ops/LogWriter.h"
#include "platform/TimerService.h"
#include "validationrun/RunCounts.h"
#include "validationrun/RunQueues.h"
#include "validationrun/RunSelection.h"
#include "validationrun/SelectionCursor.h"

namespace quirn {

class Clock;
class CommoHandler;
class PlanDatabase;
class ReadOutcomeSink;

// Where a run stands, for a window to draw.
struct RunProgress {
    bool running = false;
    bool stopping = false;   // Stop was asked for; reads in flight are ending
    bool gathering = false;  // the selection is still being walked: `total` may grow
    std::size_t total = 0;   // locations selected to be read (validate-disabled ones excluded)
    std::size_t done = 0;    // reads ended
    std::string current;     // "Oak St (1, 3, 7)" of the last read started; empty when none
    RunCounts counts;
    RunSelection selection;
};

// The end of a run.
struct RunSummary {
    RunSelection selection;
    std::string reason;
    RunCounts counts;
    std::size_t notRead = 0;  // dropped by Stop
    bool stopped = false;
    std::time_t started = 0;
    std::time_t ended = 0;
    // "Validation run of all locations ended: ..." as the System log has it.
    std::string text() const;
};

// Reads a selection of the fleet back through the communications handler, one location at a
// time per link, as the station's own reads do (the handler's read of a location, ended by its
// link's read state machine): radio reads one after the other, each waiting until the previous
// one ended or ran out of time and the transmitter is quiet; reads on IP links several at once
// (kIpReadsAtOnce, one per address). Validate-disabled locations are counted and skipped. It is
// driven by its own timer from the station's timer service; each tick walks at most
// kSelectionSlice locations of the database and looks at the reads in flight only, so a tick
// stays short at the largest fleet. One run at a time.
class ValidationRun {
  public:
    static constexpr int kTickMs = 500;
    static constexpr std::size_t kSelectionSlice = 2000;
    static constexpr std::size_t kIpReadsAtOnce = 8;
    // Waiting addresses asked per tick for an idle link.
    static constexpr std::size_t kIpTriesPerTick = 64;

    enum class StartResult { Started, AlreadyRunning };

    ValidationRun(const Clock& clock, TimerService& timers, CommoHandler& commo,
                  PlanDatabase& database, LogWriter log, ReadOutcomeSink* sink = nullptr);
    ~ValidationRun();
    ValidationRun(const ValidationRun&) = delete;
    ValidationRun& operator=(const ValidationRun&) = delete;

    // Starts a run; `reason` names who asked ("at start-up", "weekday 04:00", "by the
    // technician") in the System log. A run already under way is left alone and the request
    // is refused with a System log line.
    StartResult start(const RunSelection& selection, const std::string& reason);
    // Where each read's end goes from now on (the read history); null: nowhere.
    void setSink(ReadOutcomeSink* sink) { sink_ = sink; }
    // Drops every read not yet started; reads in flight end as their links end them, then the
    // run ends (stopped).
    void stop();
    // One step of the run (its timer calls it).
    void tick();

    bool running() const { return running_; }
    RunProgress progress() const;
    const std::optional<RunSummary>& lastSummary() const { return lastSummary_; }
    // Reads of the run in flight now (radio and IP).
    std::size_t readsInFlight() const { return inFlight_.size(); }

  private:
    struct InFlight {
        LocationKey key;
        std::string address;
        int repliesBefore = 0;
        bool radio = false;
    };

    void gather();
    void take(Location& location);
    void checkReads();
    bool readEnded(InFlight& read);
    void startReads();
    bool startRead(const LocationKey& key, bool radio);
    bool radioQuiet() const;
    bool ipCanStart(const std::string& address) const;
    void finishIfDone();
    void finish();

    const Clock& clock_;
    TimerService& timers_;
    CommoHandler& commo_;
    PlanDatabase& database_;
    LogWriter log_;
    ReadOutcomeSink* sink_;

    TimerService::TimerId timer_ = TimerService::kNoTimer;
    bool running_ = false;
    bool stopping_ = false;
    std::optional<SelectionCursor> cursor_;
    RunQueues queues_;
    std::vector<InFlight> inFlight_;
    RunProgress progress_;
    std::string reason_;
    std::time_t started_ = 0;
    std::size_t dropped_ = 0;
    std::optional<RunSummary> lastSummary_;
};

}  // namespace quirn
