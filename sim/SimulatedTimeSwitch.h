#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"
#include "sim/ActivationLog.h"
#include "sim/DeviceClock.h"
#include "sim/InputFramer.h"
#include "sim/PrintableBytes.h"
#include "sim/ProgramMemory.h"
#include "sim/Qn510Memory.h"
#include "sim/SimSettings.h"

namespace quirn::sim {

// One simulated time switch: bytes from the station go in, reply bytes come out. It knows
// nothing of pseudo-terminals or sockets; a transport feeds it and sends what it answers.
// Time comes from the host Clock through the switch's own DeviceClock, so a ManualClock
// drives it in tests; the clock may run from a time of its own (`clockTime`, e.g. the time a
// station on a manual clock writes to a file) while the byte timings stay on the host's.
class SimulatedTimeSwitch {
  public:
    // One plain-text line per message received or answered (no line end).
    using LogSink = std::function<void(const std::string&)>;

    SimulatedTimeSwitch(const SimSettings& settings, const Clock& host,
                        const Clock* clockTime = nullptr);

    void setLogSink(LogSink sink) { log_ = std::move(sink); }

    // Takes bytes as they arrive (any split, any content) and returns the bytes to send back,
    // faults applied; empty when there is nothing to answer.
    std::string receive(std::string_view bytes);
    // Lets time pass: gives up stale unfinished input, ends an override or alternate week that
    // ran out, and switches the relay at every step time passed since the last call.
    void tick();

    SimModel model() const { return settings_.model; }
    const SimAddress& address() const { return settings_.address; }
    const SimFaults& faults() const { return settings_.faults; }
    const DeviceClock& clock() const { return clock_; }
    const Qn510Memory& qn510() const { return qn510_; }
    const ProgramMemory& program() const { return program_; }
    const ActivationLog& activationLog() const { return log510_; }
    // QN510/Strider: 1 ON, 0 OFF. MX40/LR40: relay 1 in bit 0, relay 2 in bit 1.
    int relayCode() const;
    bool relayOn() const { return relayCode() != 0; }
    int delayCode() const { return delayCode_; }
    // The line rate the switch listens at; a 'B' sentence changes it.
    int lineRate() const { return lineRate_; }
    // Short description for log lines: model and address.
    std::string label() const;

  private:
    enum class ReplyKind { None, Compact, Raw, LogBlock, Image, Sentence, Baud };
    struct Reply {
        ReplyKind kind = ReplyKind::None;
        std::string bytes;
        std::string what;
    };

    Reply handle(const Frame& frame);
    Reply handlePaged(const Frame& frame);
    Reply handleRead(const Frame& frame);
    Reply handleBcd(const Frame& frame);
    Reply handleSentence(const Frame& frame);
    Reply answerRead();
    std::string applyFaults(const Reply& reply) const;

    bool pagedAddressMatches(int masterGroup, int group, int location) const;
    bool bcdAddressMatches(uint8_t masterGroup, uint8_t group, uint8_t location) const;
    void setClockLocal(const LocalDateTime& local);
    void setRelayCode(int code);
    // Relay to the last step at or before now within the past week (after a jump or new program).
    void resyncRelay();
    std::optional<int> lastStepIn(int64_t fromMinute, int64_t toMinute) const;
    void logLine(const char* direction, std::string_view bytes, const std::string& note) const;

    SimSettings settings_;
    const Clock& host_;
    DeviceClock clock_;
    InputFramer framer_;
    Qn510Memory qn510_;
    ProgramMemory program_;
    ActivationLog log510_;
    int relayBits_ = 0;        // MX40/LR40 relay code
    bool manualHeld_ = false;  // a manual command holds the relay until the next step met
    int delayCode_ = 0;
    int lineRate_ = 2400;
    std::optional<int64_t> lastMinute_;
    std::optional<int64_t> overrideDay_;      // local day the override was taken
    std::optional<int64_t> alternateEndDay_;  // local day the alternate week stops (a Sunday)
    LogSink log_;
};

}  // namespace quirn::sim
