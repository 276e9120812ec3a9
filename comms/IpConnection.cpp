#include "comms/IpConnection.h"

#include "comms/ConnectionErrorSink.h"
#include "comms/QueuedMessage.h"
#include "comms/ReplyJudge.h"
#include "ops/LogWriter.h"
#include "plans/Location.h"
#include "platform/LocalTime.h"

namespace quirn {

namespace {
constexpr std::size_t kWaitBytesPerStep = 250;
constexpr std::size_t kWaitScale = 1000;
constexpr int kWaitModulo = 10;
constexpr long long kMsPerSecond = 1000;
}  // namespace

IpConnection::IpConnection(IpServices services, std::string address, BusyCount* busy)
    : CommoLink(address),
      services_(std::move(services)),
      busy_(busy),
      lastConnection_(neverTime()),
      lastAttempt_(lastConnection_),
      name_(std::move(address)) {}

IpConnection::~IpConnection() {
    if (busy_ && isBusy()) busy_->add(-1);
}

void IpConnection::setState(State state) {
    bool wasBusy = isBusy();
    state_ = state;
    if (busy_ && wasBusy != isBusy()) busy_->add(isBusy() ? 1 : -1);
}

bool IpConnection::queueDirect(const unsigned char* bytes, std::size_t count) {
    if (!bytes || !send_.append(bytes, count)) return false;
    readFlag_ = false;
    directFlag_ = true;
    target_.clear();
    return true;
}

bool IpConnection::queueBroadcast(const unsigned char* bytes, std::size_t count) {
    if (!bytes || !send_.append(bytes, count)) return false;
    readFlag_ = false;
    directFlag_ = false;
    target_.clear();
    return true;
}

bool IpConnection::queueRead(Location& location, const unsigned char* bytes, std::size_t count) {
    if (!bytes || !send_.append(bytes, count)) return false;
    readFlag_ = true;
    directFlag_ = false;
    target_.set(&location);
    return true;
}

CommoLink::DirectResult IpConnection::queueDirect(const QueuedMessage& message) {
    unsigned char buffer[kMessageBufferSize];
    std::size_t n = message.serialize(buffer, sizeof buffer);
    return queueDirect(buffer, n) ? DirectResult::Taken : DirectResult::Full;
}

void IpConnection::queueClock(const std::string&, const std::string&) {
    if (isM2M()) return;
    setClockFlag(ClockMessage::BcdTime, true);
    setClockFlag(ClockMessage::TimeDate, true);
    setClockFlag(ClockMessage::Time, true);
}

void IpConnection::reset() {
    setState(State::Idle);
    readFlag_ = false;
    directFlag_ = false;
    send_.clear();
    receiveCount_ = 0;
    receive_.reset();
    clockFlags_ = {};
    socket_.reset();
    target_.clear();
}

void IpConnection::setAddress(const std::string& address) {
    setLinkAddress(address);
    name_ = address;
    reset();
}

void IpConnection::setPort(unsigned port) {
    port_ = port;
    reset();
}

int IpConnection::waitAfterSend(std::size_t count, bool fromConnect) const {
    if (isM2M() && fromConnect)
        return count < kM2MShortMessage ? kM2MShortWaitSeconds : kM2MLongWaitSeconds;
    return static_cast<int>(((count / kWaitBytesPerStep + kWaitScale) / kWaitScale) % kWaitModulo);
}

void IpConnection::sendBytes(const std::string& bytes) {
    if (bytes.empty() || !socket_) return;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    if (socket_->send(data, bytes.size())) {
        services_.link.log.logTransmit(services_.link.clock, address(), data, bytes.size());
    } else {
        ++failedSends_;
        services_.link.log.logSystem(services_.link.clock,
                                     "IP Socket Address  " + address() + " send refused.");
    }
}

void IpConnection::step() {
    switch (state_) {
        case State::Idle:
            if (send_.empty() && !anyClockFlag()) return;
            setState(State::Pending);
            [[fallthrough]];
        case State::Pending:
            if ((busy_ ? busy_->value() : 0) < kBroadcastBusyLimit || readFlag_ || directFlag_)
                openSocket();
            return;
        case State::Connecting:
            onConnectStep();
            return;
        case State::Reading:
            readingStep();
            return;
        case State::Staying:
            stayingStep();
            return;
        case State::ReadingLog:
            readingLogStep();
            return;
        case State::Closing:
        default:
            // Bytes the system never took are lost with the socket: a sender must know.
            if (socket_ && socket_->pendingBytes() > 0) {
                ++failedSends_;
                services_.link.log.logSystem(services_.link.clock,
                                             "IP Socket Address  " + address() + " closed with " +
                                                 std::to_string(socket_->pendingBytes()) +
                                                 " bytes not sent.");
            }
            socket_.reset();
            receive_.reset();
            setState(State::Idle);
            return;
    }
}

void IpConnection::openSocket() {
    socket_ = std::make_unique<IpSocket>(address(), port_,
                                         services_.sockets ? services_.sockets() : nullptr);
    socket_->connect();
    lastAttempt_ = services_.link.clock.now();
    receiveCount_ = 0;
    if (!receive_) receive_ = std::make_unique<std::array<unsigned char, kMessageBufferSize>>();
    setState(State::Connecting);
    stateTimeMs_ = now();
}

void IpConnection::onConnectStep() {
    IpSocket::State s = socket_ ? socket_->poll() : IpSocket::kClosed;
    // A peer that never answers the connect would otherwise hold the entry for as long as the
    // system retries (minutes): it gets the same wait as a reply, and then counts as failed.
    const bool unanswered = s == IpSocket::kConnecting && now() - stateTimeMs_ > replyLimitMs();
    if (s == IpSocket::kClosed || s == IpSocket::kNotCreated || unanswered) {
        services_.errors.addIpConnectError(address(), ipConnectErrorText(address()));
        // What could not be delivered is dropped; the error record says so. Clock flags stay
        // and try again. A read that was waiting for this connection ends now with nothing
        // received, so its location shows the failed connection instead of "Reading." for ever.
        if (readFlag_) {
            if (Location* location = target_.get(services_.link.database)) {
                const unsigned char nothing = 0;
                services_.link.judge.acceptReply(*location, &nothing, 0);
            }
            readFlag_ = false;
        }
        send_.clear();
        socket_.reset();
        receive_.reset();
        setState(State::Idle);
        return;
    }
    if (s != IpSocket::kConnected) return;
    services_.errors.clearIpConnectErrors(address());
    lastSendMs_ = now();
    lastConnection_ = services_.link.clock.now();
    constexpr ClockMessage kOrder[] = {ClockMessage::BcdTime, ClockMessage::TimeDate,
                                       ClockMessage::Time};
    for (ClockMessage kind : kOrder) {
        if (!clockFlag(kind)) continue;
        std::string message = services_.link.messages.clockMessage(kind);
        if (message.size() > kClockMessageLimit) message.clear();
        sendBytes(message);
        wait_ = waitAfterSend(message.size(), false);
        setClockFlag(kind, false);
        // A clock message wants no reply; waiting data (a read request, say) follows it after
        // the wait, and only then is a reply collected.
        setState(State::Staying);
        stateTimeMs_ = now();
        return;
    }
    std::string bytes = send_.take();
    sendBytes(bytes);
    wait_ = waitAfterSend(bytes.size(), true);
    setState(readFlag_ ? State::Reading : State::Staying);
    stateTimeMs_ = now();
}

void IpConnection::receiveWaiting() {
    if (!socket_ || !receive_) return;
    unsigned char chunk[kReceiveChunk];
    std::size_t n = socket_->receive(chunk, sizeof chunk);
    std::size_t room = kMessageBufferSize - receiveCount_;
    std::size_t keep = n < room ? n : room;  // beyond the buffer is dropped
    std::copy(chunk, chunk + keep, receive_->data() + receiveCount_);
    receiveCount_ += keep;
}

void IpConnection::readingStep() {
    enum class Outcome { None, Rejected, Complete, TimedOut };
    receiveWaiting();
    Outcome outcome = Outcome::None;
    bool keepsLog = false;
    Location* location = target_.get(services_.link.database);
    ReplyJudge& judge = services_.link.judge;
    const unsigned char* bytes = receive_ ? receive_->data() : nullptr;
    if (readFlag_ && location && bytes) {
        judge.reportProgress(*location, receiveCount_);
        if (judge.isErrorReply(*location, bytes, receiveCount_)) outcome = Outcome::Rejected;
        FirstAnswer answer = judge.firstAnswer(*location, bytes, receiveCount_);
        if (answer != FirstAnswer::None) {
            outcome = Outcome::Complete;
            keepsLog = answer == FirstAnswer::KeepsLog;
        }
        if (judge.isCompleteImage(*location, bytes, receiveCount_)) {
            outcome = Outcome::Complete;
            if (receiveCount_ == kAcknowledgedImageSize) sendBytes(std::string(1, kAcknowledge));
        }
        if (receiveCount_ > kAcknowledgedImageSize) outcome = Outcome::Complete;
    }
    if (now() - stateTimeMs_ > replyLimitMs()) outcome = Outcome::TimedOut;

    switch (outcome) {
        case Outcome::None:
            return;
        case Outcome::Rejected:
            readFlag_ = false;
            setState(State::Closing);
            return;
        case Outcome::Complete:
        case Outcome::TimedOut:
            if (location && bytes && judge.acceptReply(*location, bytes, receiveCount_)) {
                lastConnection_ = services_.link.clock.now();
                ++location->replyCount;
            }
            readFlag_ = false;
            if (keepsLog && outcome == Outcome::Complete) {
                std::string request = services_.link.messages.passwayLogRequest(*location, 0);
                if (request.size() <= kLogRequestLimit) sendBytes(request);
                receiveCount_ = 0;
                setState(State::ReadingLog);
                stateTimeMs_ = now();
            } else {
                setState(State::Closing);
            }
            return;
    }
}

void IpConnection::stayingStep() {
    if ((now() - lastSendMs_) / kMsPerSecond <= wait_) return;
    if (send_.empty()) {
        setState(State::Closing);
        return;
    }
    lastSendMs_ = now();
    std::string bytes = send_.take();
    sendBytes(bytes);
    wait_ = waitAfterSend(bytes.size(), false);
    if (readFlag_) {
        receiveCount_ = 0;
        setState(State::Reading);
        stateTimeMs_ = now();
    }
}

void IpConnection::readingLogStep() {
    receiveWaiting();
    Location* location = target_.get(services_.link.database);
    if (location && receive_ && receiveCount_ >= kActivationLogBlockSize) {
        std::size_t count = receiveCount_;
        receiveCount_ = 0;
        int next = services_.link.judge.takeLogBlock(*location, receive_->data(), count);
        if (next >= 0) {
            std::string request = services_.link.messages.passwayLogRequest(*location, next);
            if (request.size() <= kLogRequestLimit) sendBytes(request);
            stateTimeMs_ = now();
        } else {
            services_.link.judge.finishLog(*location);
            std::string clear = services_.link.messages.passwayLogClear(*location);
            queueBroadcast(reinterpret_cast<const unsigned char*>(clear.data()), clear.size());
            wait_ = 1;
            lastSendMs_ = now();
            setState(State::Staying);
            return;
        }
    }
    if (!location || now() - stateTimeMs_ > kReplyLimitMs) setState(State::Closing);
}

bool IpConnection::isWriting() const {
    return state_ == State::Pending || state_ == State::Connecting || state_ == State::Staying;
}

bool IpConnection::isReading() const {
    return state_ == State::Pending || state_ == State::Connecting || state_ == State::Reading ||
           state_ == State::ReadingLog;
}

std::string IpConnection::statusText() const {
    const std::string head = "IP Socket Address  " + address();
    switch (state_) {
        case State::Reading:
            return head + " reading location.";
        case State::Staying:
            return head + ", writing Time Switch.";
        case State::Pending:
        case State::Connecting:
        case State::Closing:
            return head + " closing Location.";
        default:
            return head + " waiting.";
    }
}

}  // namespace quirn
