#include "loader/SendWatch.h"

#include "comms/RadioOutgoing.h"
#include "loader/LoaderPort.h"
#include "loader/LoaderTexts.h"
#include "platform/Format.h"

namespace quirn {

namespace {
constexpr long long kMsPerMinute = 60 * 1000;
}  // namespace

void SendWatch::start(const LoaderPort& port, std::string what, std::string sentLine) {
    what_ = std::move(what);
    sentLine_ = std::move(sentLine);
    givenUpBefore_ = port.messagesGivenUp();
    state_ = State::Waiting;
    line_.clear();
    poll(port);
}

bool SendWatch::poll(const LoaderPort& port) {
    if (state_ != State::Waiting) return false;
    // The loader sends nothing new while its last message waits, so a message given up since
    // the write is this one.
    if (port.messagesGivenUp() != givenUpBefore_) {
        state_ = State::GivenUp;
        return show(format(loader_text::kSendGivenUp, what_.c_str(), static_cast<int>(waiting_),
                           static_cast<int>(RadioOutgoing::kGiveUpMs / kMsPerMinute)));
    }
    waiting_ = port.bytesWaiting();
    if (waiting_ == 0) {
        state_ = State::Sent;
        return show(sentLine_);
    }
    return show(format(loader_text::kSendWaiting, what_.c_str(), static_cast<int>(waiting_)));
}

void SendWatch::clear() {
    state_ = State::None;
    line_.clear();
    waiting_ = 0;
}

bool SendWatch::show(std::string line) {
    if (line == line_) return false;
    line_ = std::move(line);
    return true;
}

}  // namespace quirn
