#pragma once
#include <array>
#include <cstddef>
#include <ctime>
#include <functional>
#include <memory>
#include <string>

#include "comms/CommoLink.h"
#include "comms/CommsConstants.h"
#include "comms/CommsMessages.h"
#include "comms/IpSocket.h"
#include "comms/LinkServices.h"
#include "comms/TransmitBuffer.h"

namespace quirn {

class ConnectionErrorSink;

// How many entries of one IP table are busy (connecting up to closing), kept up to date by the
// entries themselves so that the broadcast limit never has to count them.
class BusyCount {
  public:
    int value() const { return value_; }
    void add(int delta) { value_ += delta; }

  private:
    int value_ = 0;
};

using SocketFactory = std::function<std::unique_ptr<TcpClientSocket>()>;

// What an IP entry needs besides the link services.
struct IpServices {
    LinkServices link;
    ConnectionErrorSink& errors;
    SocketFactory sockets;  // empty: the platform's socket
};

// One entry of the IP table: a WiFi time switch or the M2M client, reached over a short-lived
// TCP connection opened when there is something to send: connect, send, optionally collect a
// reply, stay a little, close. Stepped by the handler's tick; no call blocks (the socket never
// waits), and every queue call copies the bytes it is given.
class IpConnection final : public CommoLink {
  public:
    enum class State {
        Idle,
        Pending,  // work waiting; socket not opened yet
        Connecting,
        Reading,     // sent; collecting the reply of the location being read
        Staying,     // sent; staying connected for the wait, then closing
        ReadingLog,  // reading a Strider activation log block by block
        Closing,
    };
    // Broadcast data waits while this many entries of the table are busy.
    static constexpr int kBroadcastBusyLimit = 10;
    // How long a read collects its reply (milliseconds from the send, by the link clock);
    // the same limit holds for each block of an activation log, and for a connect to be
    // answered (from the attempt).
    static constexpr long long kReplyLimitMs = 12000;
    static constexpr long long kM2MReplyLimitMs = 120000;
    // The M2M client keeps a connection open longer: 5 s after a short message, 45 s otherwise.
    static constexpr std::size_t kM2MShortMessage = 15;
    static constexpr int kM2MShortWaitSeconds = 5;
    static constexpr int kM2MLongWaitSeconds = 45;
    static constexpr std::size_t kReceiveChunk = kMessageBufferSize - 1;
    static constexpr std::size_t kClockMessageLimit = 199;
    static constexpr std::size_t kLogRequestLimit = 100;

    IpConnection(IpServices services, std::string address, BusyCount* busy = nullptr);
    ~IpConnection() override;
    IpConnection(const IpConnection&) = delete;
    IpConnection& operator=(const IpConnection&) = delete;

    // Appends data for this entry alone, sent at the next connection even while the table is
    // busy; no reply is collected. False, nothing kept, for null or empty bytes, a message
    // longer than kMessageBufferSize or a full waiting room (TransmitBuffer::kWaitingLimit).
    bool queueDirect(const unsigned char* bytes, std::size_t count);
    // Appends data meant for every link; it waits while kBroadcastBusyLimit entries of the
    // table are busy. False as for queueDirect.
    bool queueBroadcast(const unsigned char* bytes, std::size_t count) override;
    // Appends a read request for `location`; after sending it the entry collects the reply
    // until the judge calls it whole, rejects it, or kReplyLimitMs (kM2MReplyLimitMs for the
    // M2M client) passes; then the judge gets what arrived, possibly nothing. The location is
    // remembered by its numbers, so one deleted meanwhile is simply not judged. False as for
    // queueDirect, and then no read is started.
    bool queueRead(Location& location, const unsigned char* bytes, std::size_t count) override;
    // The message's bytes appended as queueDirect(bytes, count): Taken or Full, never TooLong.
    DirectResult queueDirect(const QueuedMessage& message) override;
    // One message for one entry per tick: each opens a connection of its own.
    bool directEndsPass() const override { return true; }
    // Raises the clock flags (the M2M client keeps no clock): the messages are built when the
    // connection opens.
    void queueClock(const std::string& time, const std::string& bcdTime) override;
    bool inUse() const override { return true; }
    bool isDisabled() const override { return !enabled_; }
    // Every enabled entry but the M2M client.
    bool takesBroadcasts() const override { return enabled_ && !isM2M(); }
    // One step of the state machine, run by every tick. A connection that fails or is refused
    // adds an IP connect error record (a later connection clears it), drops what was waiting
    // to be sent, ends a waiting read with nothing received, and keeps the clock flags for
    // the next try; so does a connect left unanswered for the reply's limit. Received bytes
    // beyond kMessageBufferSize are dropped.
    void step() override;
    // From the connection attempt until the socket is closed again.
    bool isBusy() const { return state_ != State::Idle && state_ != State::Pending; }
    // Back to idle: flags, counts and clock flags off, socket closed and destroyed.
    void reset();
    // Address and name become the text; reset.
    void setAddress(const std::string& address);
    void setPort(unsigned port);
    unsigned port() const { return port_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool enabled() const { return enabled_; }
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    // Sends the clock message at the next connection.
    void setClockFlag(ClockMessage kind, bool on) { clockFlags_[static_cast<int>(kind)] = on; }
    bool clockFlag(ClockMessage kind) const { return clockFlags_[static_cast<int>(kind)]; }

    State state() const { return state_; }
    std::size_t sendCount() const { return send_.size(); }
    std::size_t sendWaiting() const { return send_.waitingBytes(); }
    std::size_t receiveCount() const { return receiveCount_; }
    bool readFlag() const { return readFlag_; }
    bool directFlag() const { return directFlag_; }
    int waitSeconds() const { return wait_; }
    std::time_t lastConnection() const { return lastConnection_; }
    std::time_t lastAttempt() const { return lastAttempt_; }
    // Sends that did not go out whole: refused, or bytes still pending when the connection
    // closed. It only grows, so a sender can tell whether its own message was among them.
    std::size_t failedSends() const { return failedSends_; }
    Location* locationBeingRead() const { return target_.get(services_.link.database); }
    bool isM2M() const { return address() == kM2MAddress; }

    bool isWriting() const override;
    bool isReading() const override;
    std::string statusText() const override;

    // Whole seconds to stay connected after sending `count` bytes before the next send or the
    // close (the M2M client's first send: kM2MShortWaitSeconds or kM2MLongWaitSeconds).
    int waitAfterSend(std::size_t count, bool fromConnect) const;

  private:
    void setState(State state);
    void openSocket();
    void onConnectStep();
    void receiveWaiting();
    void readingStep();
    void stayingStep();
    void readingLogStep();
    void sendBytes(const std::string& bytes);
    bool anyClockFlag() const { return clockFlags_[0] || clockFlags_[1] || clockFlags_[2]; }
    long long now() const { return services_.link.clock.nowMs(); }
    long long replyLimitMs() const { return isM2M() ? kM2MReplyLimitMs : kReplyLimitMs; }

    IpServices services_;
    BusyCount* busy_;
    std::time_t lastConnection_;
    std::time_t lastAttempt_;
    std::string name_;
    std::unique_ptr<IpSocket> socket_;
    bool enabled_ = true;
    unsigned port_ = kDefaultIpPort;
    TransmitBuffer send_;
    std::size_t receiveCount_ = 0;
    std::size_t failedSends_ = 0;
    // Allocated while a connection is open: a table of thousands of idle entries stays small.
    std::unique_ptr<std::array<unsigned char, kMessageBufferSize>> receive_;
    ReadTarget target_;
    State state_ = State::Idle;
    bool readFlag_ = false;
    bool directFlag_ = false;
    long long stateTimeMs_ = 0;
    long long lastSendMs_ = 0;
    int wait_ = 0;
    std::array<bool, 3> clockFlags_{};
};

}  // namespace quirn
