#pragma once
#include <algorithm>
#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "comms/CommoLink.h"
#include "comms/CommsConstants.h"
#include "comms/LinkServices.h"
#include "comms/RadioOutgoing.h"
#include "comms/TransmitBuffer.h"
#include "platform/ComPortMap.h"
#include "platform/SerialDevice.h"

namespace quirn {

// The paging radio transmitter on a COM port. Everything it sends is heard by every radio time
// switch; a reply comes back only while one location is being read. Serviced by the handler's
// tick and never blocking: it reads only what the driver holds, hands the driver only what it
// takes (the rest waits, in order, for the next ticks) and estimates the on-air time of what is
// written and still to go instead of waiting for the transmitter. A failed write, a hang-up or a
// driver error marks the port lost at once; it is tried again every kReopenIntervalMs.
class SerialPort final : public CommoLink {
  public:
    enum class State {
        Idle,
        Reading,     // a read request went out; collecting the reply
        Writing,     // transmitting; waiting for the estimated end of on-air time
        ReadingLog,  // reading a Strider activation log block by block
        AfterExchange,
    };
    // A read with no byte back ends this long after the transmission, one with bytes after
    // kReplyLimitMs.
    static constexpr long long kNoReplySpanMs = 4000;
    static constexpr long long kReplyLimitMs = 12000;
    // Bytes per second on air, for the estimate of the transmitter's busy time.
    static constexpr std::size_t kAirBytesPerSecond = 250;
    static constexpr std::size_t kWriteTextLimit = 1999;
    static constexpr std::size_t kFlushChunk = 999;
    // A lost (or missing) port is tried again this often by the tick.
    static constexpr long long kReopenIntervalMs = 30000;

    SerialPort(LinkServices services, std::unique_ptr<SerialDevice> device, ComPortMap comMap);
    ~SerialPort() override;
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens COM `comNumber` at 4800 baud when `baud` is 4800, else 2400; COM 0 means no radio
    // and succeeds with the port closed (what was still to go out is dropped, with a line).
    // Returns 0 on success, 1 when the device cannot be opened or set up (the handle stays
    // invalid).
    int open(int comNumber, int baud = kBaud2400);
    void close();
    bool isUsed() const { return comNumber_ != 0; }
    // False only when a configured port failed.
    bool isHealthy() const { return comNumber_ == 0 || device_->isOpen(); }
    bool isOpen() const { return device_->isOpen(); }
    int comNumber() const { return comNumber_; }
    // "COM %d", or "Disabled" for COM 0.
    const std::string& portName() const { return portName_; }

    // Adds bytes to the next transmission (COM 0: ignored). A message that does not fit waits
    // whole for a later transmission. False when refused (COM 0, empty, too long, waiting room
    // full).
    bool queueBytes(const unsigned char* bytes, std::size_t count);
    bool queueText(const std::string& text);
    // Starts reading a location (COM 0: ignored): replaces any location being read, forgets
    // what was received, and queues the request bytes. False when the bytes were refused.
    bool queueRead(Location& location, const unsigned char* bytes, std::size_t count) override;
    // Writes a command's bytes at once, as write does (same refusals).
    bool sendCommand(const std::string& bytes);
    // Hands the bytes to the driver now, reopening a lost port at 2400 baud first; what the
    // driver does not take yet goes on the next ticks, before anything handed over later. The
    // end of on-air time covers what is still to go; the Transmit log gets the message once,
    // whole, when its last byte has gone. False (nothing kept) when the port is not available.
    bool write(const unsigned char* bytes, std::size_t count);
    bool writeByte(unsigned char byte);
    // At most kWriteTextLimit characters.
    bool writeText(const std::string& text);
    // Drops what the driver holds and what was received. 0, or 1 when the port is lost (it is
    // then closed; the next write or the tick reopens it).
    int flushInput();
    // Appends what the driver holds to the received bytes and returns their count. A reply that
    // would pass kMessageBufferSize is dropped whole and collecting starts again.
    std::size_t readAvailable();
    // Discards pending input and received bytes, then writes at once, as write does (same
    // refusals): a reply read afterwards answers these bytes only.
    bool writeNow(const unsigned char* bytes, std::size_t count);
    // The periodic step: what still waits for the driver goes first. A lost port is reopened at
    // 2400 baud, at most once every kReopenIntervalMs.
    void step() override;

    bool inUse() const override { return isUsed(); }
    bool takesBroadcasts() const override { return isUsed(); }
    bool queueBroadcast(const unsigned char* bytes, std::size_t count) override {
        return queueBytes(bytes, count);
    }
    // Written at once (writeNow), at most kRadioWriteLimit bytes.
    DirectResult queueDirect(const QueuedMessage& message) override;
    // Radio messages for the radio alone go out in the same pass as the rest of the queue.
    bool directEndsPass() const override { return false; }
    // Both messages are written at once.
    void queueClock(const std::string& time, const std::string& bcdTime) override;
    int currentBaud() const { return device_->currentBaud(); }

    std::size_t receivedCount() const { return receivedCount_; }
    const unsigned char* received() const { return received_.data(); }
    // Forgets the received bytes (not the driver's).
    void clearReceived() { receivedCount_ = 0; }
    std::size_t transmitCount() const { return transmit_.size(); }
    std::size_t transmitWaiting() const { return transmit_.waitingBytes(); }
    // Bytes handed over that the driver has not taken yet.
    std::size_t outgoingBytes() const { return outgoing_.pendingBytes(); }
    // Messages given up so far because the driver did not take them in time; it only grows, so a
    // sender can tell whether its own message was among them.
    std::size_t givenUpMessages() const { return givenUpMessages_; }
    // True after the port was lost (or never opened), until it opens again.
    bool isLost() const { return lost_; }
    State state() const { return state_; }
    // The estimated end of on-air time of what was written so far (the clock's milliseconds).
    long long onAirUntilMs() const { return deadlineMs_; }
    // A sender that paces many messages itself knows better when the air will be free: the
    // estimate is moved out to it (never brought in), so that others waiting for a quiet
    // transmitter wait for those messages too.
    void coverOnAirUntil(long long ms) { deadlineMs_ = std::max(deadlineMs_, ms); }
    // The location being read, or null.
    Location* locationBeingRead() const { return target_.get(services_.database); }

    bool isWriting() const override { return state_ == State::Writing || !outgoing_.empty(); }
    bool isReading() const override {
        return state_ == State::Reading || state_ == State::ReadingLog;
    }
    std::string statusText() const override;
    // One line for the communications summary.
    std::string summaryText() const;

    // Whole seconds the transmitter is busy with `count` bytes, to the nearest second.
    static long long onAirSeconds(std::size_t count) {
        return static_cast<long long>((count + kAirBytesPerSecond / 2) / kAirBytesPerSecond);
    }

  private:
    bool flushTransmitBuffer();
    // Writes what waits for the driver and moves the on-air deadline over what is still to go.
    void pump();
    // Opens the configured device again at 2400 baud; logs only the first failure of a loss
    // and the recovery.
    bool reopen();
    void markLost();
    void giveUpExpired();
    void judgeReply();
    void readLogStep();
    void endExchange();
    long long sinceDeadlineMs() const { return services_.clock.nowMs() - deadlineMs_; }

    LinkServices services_;
    std::unique_ptr<SerialDevice> device_;
    ComPortMap comMap_;
    std::size_t receivedCount_ = 0;
    std::array<unsigned char, kMessageBufferSize> received_{};
    TransmitBuffer transmit_;
    RadioOutgoing outgoing_;
    ReadTarget target_;
    State state_ = State::Idle;
    long long deadlineMs_ = 0;
    long long lastReopenMs_ = 0;
    std::string portName_ = "Disabled";
    bool lost_ = false;           // lost or missing; cleared by a successful open
    bool failureLogged_ = false;  // the current loss has its line in the System log
    std::size_t refusedWhileLost_ = 0;
    std::size_t givenUpMessages_ = 0;
    int comNumber_ = 0;
};

// Entries of the COM port choice list, and the COM number of a chosen entry.
inline constexpr const char* kComDisabledChoice = "Disabled";
// "Disabled", "COM 1" .. "COM 4", then "COM n" for a configured number outside 1..4;
// `selected` becomes the index of the configured number's entry (0 for "Disabled").
std::vector<std::string> comPortChoices(int configured, int& selected);
// "Disabled" and unknown texts give 0; "COM n" gives n.
int comNumberFromChoice(const std::string& choice);

}  // namespace quirn
