#include "comms/SmtpClient.h"

#include <algorithm>
#include <ctime>

#include "comms/MailDate.h"
#include "comms/MessageId.h"

namespace quirn {

namespace {

struct ReplyRule {
    int expectedCode;
    const char* errorText;
};

// Indexed by SmtpClient::ReplyKind.
constexpr ReplyRule kReplyRules[] = {
    {250, "SMTP server error"},
    {220, "SMTP server not available"},
    {354, "SMTP server not ready for data"},
    {221, "SMTP server didn't terminate session"},
};

constexpr const char* kSocketError = "Socket Error";
constexpr const char* kTimedOut = "Socket Timed Out";
constexpr const char* kCannotCreateSocket = "Unable to create the socket.";
constexpr const char* kCannotConnect = "Unable to connect to server";
constexpr const char* kNoGreeting = "Server didn't respond.";
constexpr const char* kMustBeConnected = "Must be connected";
constexpr const char* kNoRecipients = "No Recipients";

constexpr const char* kEndOfData = "\r\n.\r\n";
constexpr std::size_t kCodeLength = 3;
// A reply line "250-..." is followed by more lines of the same reply.
constexpr char kContinuationMark = '-';
// A server's reply in a failure reason is cut to this many characters.
constexpr std::size_t kMaxQuotedReply = 200;
constexpr const char* kGreetingStep = "greeting";
constexpr const char* kEndOfDataStep = "the end of the data";

const ReplyRule& ruleFor(SmtpClient::ReplyKind kind) {
    return kReplyRules[static_cast<int>(kind)];
}

// The three-digit code at the start of a reply line, read as atoi reads it.
int replyCode(std::string_view line) {
    int code = 0;
    for (std::size_t i = 0; i < kCodeLength && i < line.size(); ++i) {
        char c = line[i];
        if (c < '0' || c > '9') break;
        code = code * 10 + (c - '0');
    }
    return code;
}

// A server's reply line as a log can show it: printable characters only, not too long.
std::string quotedReply(std::string_view line) {
    std::string out;
    for (char c : line.substr(0, kMaxQuotedReply)) out += (c >= ' ' && c < '\x7F') ? c : ' ';
    return out;
}

std::string replyPhrase(const std::string& step) {
    return step == kGreetingStep ? " (greeting)" : " (reply to " + step + ")";
}

}  // namespace

SmtpClient::SmtpClient(const Clock& clock, std::string server, unsigned port,
                       std::unique_ptr<BlockingTcpSocket> socket)
    : clock_(clock), port_(port), server_(std::move(server)), socket_(std::move(socket)) {}

SmtpClient::~SmtpClient() {
    if (connected_) disconnect();
}

void SmtpClient::explain(std::string reason) {
    if (failureReason_.empty()) failureReason_ = std::move(reason);
}

void SmtpClient::explainStatus(SocketStatus status, bool sending) {
    std::string what;
    if (sending)
        what = "sending " + std::string(step_ == kEndOfDataStep ? "the message" : step_);
    else
        what = "waiting for " +
               (step_ == kGreetingStep ? std::string("the greeting") : "the reply to " + step_);
    switch (status) {
        case SocketStatus::Ok:
            break;
        case SocketStatus::TimedOut:
            explain("timed out " + what);
            break;
        case SocketStatus::Closed:
            explain("the server closed the connection " + what);
            break;
        case SocketStatus::Failed:
            explain("the connection broke " + what);
            break;
    }
}

bool SmtpClient::connect() {
    if (connected_) return true;
    failureReason_.clear();
    refusedRecipientReply_.clear();
    if (!socket_) {
        fail(kCannotCreateSocket);
        explain(kCannotCreateSocket);
        return false;
    }
    pending_.clear();
    const SocketStatus status = socket_->connect(server_, port_, timeoutMs_);
    if (status != SocketStatus::Ok) {
        fail(kCannotConnect);
        explain((status == SocketStatus::TimedOut ? "timed out connecting to "
                                                  : "could not connect to ") +
                server_ + " port " + std::to_string(port_));
        closeSocket();
        return false;
    }
    step_ = kGreetingStep;
    if (!expectReply(ReplyKind::Ready)) {
        fail(kNoGreeting);
        closeSocket();
        return false;
    }
    step_ = "HELO";
    if (!sendText("HELO " + localHostName(kMaxHostNameLength) + "\r\n") ||
        !expectReply(ReplyKind::Ok)) {
        closeSocket();
        return false;
    }
    connected_ = true;
    return true;
}

bool SmtpClient::sendMessage(MailMessage& message) {
    if (!connected_) {
        fail(kMustBeConnected);
        explain(kMustBeConnected);
        return false;
    }
    if (message.recipientCount() == 0) {
        fail(kNoRecipients);
        explain(kNoRecipients);
        return false;
    }
    const std::time_t written = message.date != 0 ? message.date : clock_.now();
    if (message.messageId.empty()) message.messageId = makeMessageId(message.from, written);
    bool dropped = message.buildHeader(mailDateText(written), mailerName_);

    std::string from = message.from;
    dropped = dropLineBreaks(from) || dropped;
    step_ = "MAIL";
    if (!sendText("MAIL From: <" + from + ">\r\n") || !expectReply(ReplyKind::Ok)) return false;

    step_ = "RCPT";
    for (std::size_t i = 0; i < message.recipientCount(); ++i) {
        std::string address = message.recipient(i)->address;
        dropped = dropLineBreaks(address) || dropped;
        if (!sendText("RCPT TO: <" + address + ">\r\n")) return false;
        // A refused recipient does not stop the others; a broken connection does.
        const ReplyOutcome outcome = readReply(ReplyKind::Ok);
        if (outcome == ReplyOutcome::TransportFailed) return false;
        if (outcome == ReplyOutcome::OtherCode && refusedRecipientReply_.empty())
            refusedRecipientReply_ = quotedReply(lastReply_) + replyPhrase(step_);
    }
    lineBreaksDropped_ = lineBreaksDropped_ || dropped;

    // With every recipient refused the data is refused too; the refusal is the reason.
    if (refusedRecipientReply_.size() > 0 && message.recipientCount() == 1)
        explain(refusedRecipientReply_);
    step_ = "DATA";
    if (!sendText("DATA\r\n") || !expectReply(ReplyKind::StartData)) return false;
    step_ = kEndOfDataStep;
    if (!sendText(message.header) || !sendText(message.transparentBody()) || !sendText(kEndOfData))
        return false;
    if (!expectReply(ReplyKind::Ok)) return false;
    failureReason_.clear();
    return true;
}

bool SmtpClient::disconnect() {
    if (!connected_) return true;
    step_ = "QUIT";
    bool ok = sendText("QUIT\r\n") && expectReply(ReplyKind::Closing);
    closeSocket();
    return ok;
}

void SmtpClient::closeSocket() {
    if (socket_) socket_->close();
    connected_ = false;
    pending_.clear();
}

bool SmtpClient::sendText(std::string_view text) {
    SocketStatus status = socket_ ? socket_->sendAll(text, timeoutMs_) : SocketStatus::Failed;
    if (status == SocketStatus::Ok) return true;
    fail(status == SocketStatus::TimedOut ? kTimedOut : kSocketError);
    explainStatus(status, true);
    return false;
}

bool SmtpClient::expectReply(ReplyKind kind) {
    const ReplyOutcome outcome = readReply(kind);
    if (outcome == ReplyOutcome::OtherCode) explain(quotedReply(lastReply_) + replyPhrase(step_));
    return outcome == ReplyOutcome::Matched;
}

SmtpClient::ReplyOutcome SmtpClient::readReply(ReplyKind kind) {
    // Lines "250-..." belong to the same reply; its last line decides.
    const long long deadline = clock_.nowMs() + timeoutMs_;
    std::string line;
    while (true) {
        if (!receiveReplyLine(line, deadline)) return ReplyOutcome::TransportFailed;
        if (line.size() <= kCodeLength || line[kCodeLength] != kContinuationMark) break;
    }
    lastReply_ = line;
    const ReplyRule& rule = ruleFor(kind);
    int code = replyCode(line);
    if (code == rule.expectedCode) return ReplyOutcome::Matched;
    fail(std::to_string(code) + ":" + rule.errorText);
    return ReplyOutcome::OtherCode;
}

bool SmtpClient::receiveReplyLine(std::string& line, long long deadlineMs) {
    while (true) {
        std::size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            line.assign(pending_, 0, end);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            pending_.erase(0, end + 1);
            return true;
        }
        // Only the code and the continuation mark matter, so an endless line stays small.
        if (pending_.size() > kReplyBufferSize) pending_.resize(kCodeLength + 1);

        long long left = deadlineMs - clock_.nowMs();
        if (left <= 0) {
            fail(kTimedOut);
            explainStatus(SocketStatus::TimedOut, false);
            return false;
        }
        std::size_t received = 0;
        SocketStatus status =
            socket_ ? socket_->receive(replyBuffer_.data(), replyBuffer_.size(), received,
                                       static_cast<int>(std::min<long long>(left, timeoutMs_)))
                    : SocketStatus::Failed;
        if (status != SocketStatus::Ok) {
            fail(status == SocketStatus::TimedOut ? kTimedOut : kSocketError);
            explainStatus(status, false);
            return false;
        }
        pending_.append(replyBuffer_.data(), received);
    }
}

}  // namespace quirn
