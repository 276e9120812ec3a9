#include "comms/SerialPort.h"

#include <algorithm>
#include <cstdlib>

#include "comms/CommsMessages.h"
#include "comms/QueuedMessage.h"
#include "comms/ReplyJudge.h"
#include "ops/LogWriter.h"
#include "plans/Location.h"

namespace quirn {

namespace {
constexpr const char* kSerialLogName = "Serial Port";
constexpr int kFirstListedCom = 1;
constexpr int kLastListedCom = 4;
// A driver that keeps producing input while it is flushed is not chased for ever.
constexpr int kFlushRounds = 64;
}  // namespace

SerialPort::SerialPort(LinkServices services, std::unique_ptr<SerialDevice> device,
                       ComPortMap comMap)
    : CommoLink(kRadioAddress),
      services_(services),
      device_(device ? std::move(device) : createSerialDevice()),
      comMap_(comMap) {}

namespace {
std::string notSentLine(const std::string& portName, std::size_t messages, std::size_t bytes,
                        const char* why) {
    return std::to_string(messages) + (messages == 1 ? " message" : " messages") + " (" +
           std::to_string(bytes) + " bytes) for the radio on " + portName + " not sent: " + why;
}
}  // namespace

SerialPort::~SerialPort() {
    if (!outgoing_.empty())
        services_.log.logSystem(services_.clock,
                                notSentLine(portName_, outgoing_.size(), outgoing_.pendingBytes(),
                                            "the program ended."));
    close();
}

int SerialPort::open(int comNumber, int baud) {
    if (comNumber != comNumber_) {
        lost_ = false;
        failureLogged_ = false;
        refusedWhileLost_ = 0;
    }
    comNumber_ = comNumber;
    device_->close();
    if (comNumber == 0) {
        portName_ = kComDisabledChoice;
        lost_ = false;
        if (!outgoing_.empty()) {
            const std::size_t messages = outgoing_.size(), bytes = outgoing_.pendingBytes();
            outgoing_.clear();
            givenUpMessages_ += messages;
            services_.log.logSystem(services_.clock, notSentLine("the radio port", messages, bytes,
                                                                 "the radio was turned off."));
        }
        return 0;
    }
    portName_ = "COM " + std::to_string(comNumber);
    if (!device_->open(comMap_.devicePath(comNumber), baud)) {
        // Asked for by the station or the technician: the failure is always said.
        services_.log.logSystem(services_.clock,
                                portName_ + " could not be opened: " + device_->errorText());
        lost_ = true;
        failureLogged_ = true;
        return 1;
    }
    lost_ = false;
    failureLogged_ = false;
    refusedWhileLost_ = 0;
    return 0;
}

bool SerialPort::reopen() {
    if (comNumber_ == 0) return false;
    if (!device_->open(comMap_.devicePath(comNumber_), kBaud2400)) {
        if (!failureLogged_)
            services_.log.logSystem(services_.clock,
                                    portName_ + " could not be opened: " + device_->errorText());
        lost_ = true;
        failureLogged_ = true;
        return false;
    }
    if (lost_) {
        std::string line = "COM " + std::to_string(comNumber_) + " reopened.";
        if (refusedWhileLost_ > 0)
            line += " " + std::to_string(refusedWhileLost_) +
                    " radio messages were not sent while it was not available.";
        services_.log.logSystem(services_.clock, line);
    }
    lost_ = false;
    failureLogged_ = false;
    refusedWhileLost_ = 0;
    return true;
}

void SerialPort::markLost() {
    device_->close();
    lastReopenMs_ = services_.clock.nowMs();
    if (!failureLogged_)
        services_.log.logSystem(services_.clock, "COM " + std::to_string(comNumber_) + " lost.");
    lost_ = true;
    failureLogged_ = true;
    // A read in progress cannot get the rest of its reply: it ends with what arrived.
    if (state_ == State::Reading) {
        if (Location* location = target_.get(services_.database)) {
            services_.judge.acceptReply(*location, received_.data(), receivedCount_);
            ++location->replyCount;
        }
    }
    receivedCount_ = 0;
    target_.clear();
    state_ = State::Idle;
}

void SerialPort::pump() {
    if (!device_->isOpen() || outgoing_.empty()) return;
    long written = outgoing_.pump(*device_, [this](const std::string& message) {
        services_.log.logTransmit(services_.clock, kSerialLogName,
                                  reinterpret_cast<const unsigned char*>(message.data()),
                                  message.size());
    });
    if (written < 0) {
        markLost();
        return;
    }
    const std::size_t toGo = static_cast<std::size_t>(written) + outgoing_.pendingBytes();
    if (toGo > 0)
        deadlineMs_ = std::max(deadlineMs_, services_.clock.nowMs() + onAirSeconds(toGo) * 1000);
}

void SerialPort::giveUpExpired() {
    outgoing_.dropExpired(services_.clock.nowMs(), [this](const RadioOutgoing::Message& m) {
        ++givenUpMessages_;
        services_.log.logSystem(
            services_.clock, "Radio message of " + std::to_string(m.bytes.size()) + " bytes for " +
                                 portName_ +
                                 " given up: " + std::to_string(m.bytes.size() - m.sent) +
                                 " bytes of it were still not sent " +
                                 std::to_string(RadioOutgoing::kGiveUpMs / 60000) +
                                 " minutes after it was "
                                 "handed over.");
    });
}

void SerialPort::close() {
    device_->close();
}

bool SerialPort::queueBytes(const unsigned char* bytes, std::size_t count) {
    if (comNumber_ == 0 || !bytes) return false;
    return transmit_.append(bytes, count);
}

bool SerialPort::queueText(const std::string& text) {
    return queueBytes(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

bool SerialPort::queueRead(Location& location, const unsigned char* bytes, std::size_t count) {
    if (comNumber_ == 0) return false;
    target_.set(&location);
    receivedCount_ = 0;
    return queueBytes(bytes, count);
}

CommoLink::DirectResult SerialPort::queueDirect(const QueuedMessage& message) {
    unsigned char buffer[kRadioWriteLimit];
    std::size_t n = message.serialize(buffer, sizeof buffer);
    if (n == 0) return DirectResult::TooLong;
    writeNow(buffer, n);
    return DirectResult::Taken;
}

void SerialPort::queueClock(const std::string& time, const std::string& bcdTime) {
    sendCommand(time);
    sendCommand(bcdTime);
}

bool SerialPort::writeNow(const unsigned char* bytes, std::size_t count) {
    flushInput();
    clearReceived();
    return write(bytes, count);
}

bool SerialPort::sendCommand(const std::string& bytes) {
    return write(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

bool SerialPort::write(const unsigned char* bytes, std::size_t count) {
    if (comNumber_ == 0 || !bytes || count == 0) return false;
    if (!device_->isOpen()) reopen();
    // Clears a pending line error; a device that went away is noticed here.
    if (device_->isOpen() && device_->waiting() < 0) markLost();
    if (!device_->isOpen()) {
        ++refusedWhileLost_;
        return false;
    }
    if (!outgoing_.add(bytes, count, services_.clock.nowMs())) {
        services_.log.logSystem(services_.clock, "Radio message of " + std::to_string(count) +
                                                     " bytes for " + portName_ +
                                                     " not sent: the port's backlog is full.");
        return false;
    }
    pump();
    return device_->isOpen();
}

bool SerialPort::writeByte(unsigned char byte) {
    return write(&byte, 1);
}

bool SerialPort::writeText(const std::string& text) {
    std::size_t count = std::min(text.size(), kWriteTextLimit);
    return write(reinterpret_cast<const unsigned char*>(text.data()), count);
}

bool SerialPort::flushTransmitBuffer() {
    std::string bytes = transmit_.take();
    return write(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

int SerialPort::flushInput() {
    if (!device_->isOpen()) return 1;
    unsigned char scratch[kFlushChunk];
    for (int round = 0; round < kFlushRounds; ++round) {
        long waiting = device_->waiting();
        if (waiting < 0) {
            markLost();
            return 1;
        }
        if (waiting == 0) break;
        device_->read(scratch,
                      std::min<std::size_t>(static_cast<std::size_t>(waiting), kFlushChunk));
        if (static_cast<std::size_t>(waiting) < kFlushChunk + 1) break;
    }
    receivedCount_ = 0;
    return 0;
}

std::size_t SerialPort::readAvailable() {
    if (!device_->isOpen()) return 0;
    long waiting = device_->waiting();
    if (waiting < 0) {
        markLost();
        return 0;
    }
    if (waiting == 0) return receivedCount_;
    if (receivedCount_ + static_cast<std::size_t>(waiting) > kMessageBufferSize) {
        // Too long for any reply: drop it whole and collect afresh.
        flushInput();
        return 0;
    }
    long n = device_->read(received_.data() + receivedCount_, static_cast<std::size_t>(waiting));
    if (n < 0) {
        markLost();
        return 0;
    }
    receivedCount_ += static_cast<std::size_t>(n);
    return receivedCount_;
}

void SerialPort::step() {
    if (comNumber_ == 0) return;
    giveUpExpired();
    if (!device_->isOpen()) {
        // Tried again whatever the traffic, so a port that comes back is seen to be back.
        long long now = services_.clock.nowMs();
        if (now - lastReopenMs_ < kReopenIntervalMs) return;
        lastReopenMs_ = now;
        if (!reopen()) return;
    }
    pump();
    readAvailable();
    if (!device_->isOpen()) return;
    switch (state_) {
        case State::Idle:
        case State::AfterExchange:
            // The next transmission starts only when the driver's backlog leaves it room.
            if (transmit_.empty() || !outgoing_.hasRoomFor(transmit_.size())) break;
            if (target_.isSet()) {
                state_ = State::Reading;
                flushInput();
            } else {
                state_ = State::Writing;
            }
            deadlineMs_ = services_.clock.nowMs();
            flushTransmitBuffer();
            break;
        case State::Writing:
            if (sinceDeadlineMs() > 0 && outgoing_.empty()) state_ = State::AfterExchange;
            break;
        case State::Reading:
            judgeReply();
            break;
        case State::ReadingLog:
            readLogStep();
            break;
        default:
            state_ = State::Idle;
            break;
    }
}

void SerialPort::endExchange() {
    state_ = State::AfterExchange;
    target_.clear();
}

void SerialPort::judgeReply() {
    enum class Outcome { None, Rejected, Complete, TimedOut };
    Outcome outcome = Outcome::None;
    Location* location = target_.get(services_.database);
    ReplyJudge& judge = services_.judge;
    const unsigned char* bytes = received_.data();
    if (location) {
        judge.reportProgress(*location, receivedCount_);
        if (judge.isErrorReply(*location, bytes, receivedCount_)) outcome = Outcome::Rejected;
        FirstAnswer answer = judge.firstAnswer(*location, bytes, receivedCount_);
        if (answer != FirstAnswer::None) {
            outcome = Outcome::Complete;
            if (answer == FirstAnswer::KeepsLog) {
                state_ = State::ReadingLog;
                sendCommand(services_.messages.passwayLogRequest(*location, 0));
            }
        }
        if (judge.isCompleteImage(*location, bytes, receivedCount_)) {
            outcome = Outcome::Complete;
            if (receivedCount_ == kAcknowledgedImageSize) writeByte(kAcknowledge);
        }
    }
    long long since = sinceDeadlineMs();
    if (since > kReplyLimitMs || (since > kNoReplySpanMs && receivedCount_ == 0))
        outcome = Outcome::TimedOut;

    switch (outcome) {
        case Outcome::None:
            return;
        case Outcome::Rejected:
            receivedCount_ = 0;
            endExchange();
            return;
        case Outcome::Complete:
        case Outcome::TimedOut:
            if (location) {
                judge.acceptReply(*location, bytes, receivedCount_);
                ++location->replyCount;
            }
            receivedCount_ = 0;
            if (state_ != State::ReadingLog) endExchange();
            return;
    }
}

void SerialPort::readLogStep() {
    Location* location = target_.get(services_.database);
    if (location && receivedCount_ >= kActivationLogBlockSize) {
        std::size_t count = receivedCount_;
        receivedCount_ = 0;
        int next = services_.judge.takeLogBlock(*location, received_.data(), count);
        if (next >= 0) {
            sendCommand(services_.messages.passwayLogRequest(*location, next));
            deadlineMs_ = services_.clock.nowMs();
        } else {
            services_.judge.finishLog(*location);
            sendCommand(services_.messages.passwayLogClear(*location));
            endExchange();
            return;
        }
    }
    // A vanished location or a silent time switch ends the log read.
    if (!location || sinceDeadlineMs() > kReplyLimitMs) endExchange();
}

std::string SerialPort::statusText() const {
    switch (state_) {
        case State::Reading: {
            Location* location = target_.get(services_.database);
            if (!location) return "Serial Port Reading.";
            return "Serial Port Reading " + location->name + ", " +
                   services_.judge.progressText(*location, receivedCount_) + ".";
        }
        case State::Writing:
            return "Serial Port Writing.";
        case State::Idle:
        case State::AfterExchange:
            if (isUsed() && !isOpen() && lost_) return portName_ + " lost.";
            return "Serial Port Active.";
        case State::ReadingLog:
            return "Reading Passway.";
        default:
            return "Serial Port Active.";
    }
}

std::string SerialPort::summaryText() const {
    if (comNumber_ == 0) return "Serial Port: Not Used";
    return "Serial Port: " + portName_ + (isHealthy() ? ", " + statusText() : ", not available.");
}

std::vector<std::string> comPortChoices(int configured, int& selected) {
    std::vector<std::string> choices{kComDisabledChoice};
    for (int n = kFirstListedCom; n <= kLastListedCom; ++n)
        choices.push_back("COM " + std::to_string(n));
    if (configured != 0 && (configured < kFirstListedCom || configured > kLastListedCom))
        choices.push_back("COM " + std::to_string(configured));
    selected = 0;
    if (configured != 0) {
        std::string wanted = "COM " + std::to_string(configured);
        for (std::size_t i = 0; i < choices.size(); ++i)
            if (choices[i] == wanted) selected = static_cast<int>(i);
    }
    return choices;
}

int comNumberFromChoice(const std::string& choice) {
    if (choice.compare(0, 3, "COM") != 0) return 0;
    std::size_t blank = choice.find(' ');
    if (blank == std::string::npos) return 0;
    return std::atoi(choice.c_str() + blank + 1);
}

}  // namespace quirn
