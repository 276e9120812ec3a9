#include "comms/SmtpClient.h"

#include <algorithm>
#include <ctime>

#include "platform/LocalTime.h"

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

constexpr const char* kDateFormat = "%a, %d %b %y %H:%M:%S ";
constexpr const char* kEndOfData = "\r\n.\r\n";
constexpr std::size_t kCodeLength = 3;
// A reply line "250-..." is followed by more lines of the same reply.
constexpr char kContinuationMark = '-';
constexpr std::size_t kZoneNameBuffer = 64;

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

// The C library names the zone (with daylight saving) as TZ says.
std::string zoneName(const LocalDateTime& local) {
    std::tm tm{};
    tm.tm_year = local.year - 1900;
    tm.tm_mon = local.month - 1;
    tm.tm_mday = local.day;
    tm.tm_hour = local.hour;
    tm.tm_min = local.minute;
    tm.tm_sec = local.second;
    tm.tm_isdst = local.isDst ? 1 : 0;
    char buffer[kZoneNameBuffer] = {};
    std::size_t n = std::strftime(buffer, sizeof buffer, "%Z", &tm);
    return std::string(buffer, n);
}

}  // namespace

SmtpClient::SmtpClient(const Clock& clock, std::string server, unsigned port,
                       std::unique_ptr<BlockingTcpSocket> socket)
    : clock_(clock), port_(port), server_(std::move(server)), socket_(std::move(socket)) {}

SmtpClient::~SmtpClient() {
    if (connected_) disconnect();
}

bool SmtpClient::connect() {
    if (connected_) return true;
    if (!socket_) {
        fail(kCannotCreateSocket);
        return false;
    }
    pending_.clear();
    if (socket_->connect(server_, port_, timeoutMs_) != SocketStatus::Ok) {
        fail(kCannotConnect);
        closeSocket();
        return false;
    }
    if (readReply(ReplyKind::Ready) != ReplyOutcome::Matched) {
        fail(kNoGreeting);
        closeSocket();
        return false;
    }
    if (!sendText("HELO " + localHostName(kMaxHostNameLength) + "\r\n") ||
        readReply(ReplyKind::Ok) != ReplyOutcome::Matched) {
        closeSocket();
        return false;
    }
    connected_ = true;
    return true;
}

bool SmtpClient::sendMessage(MailMessage& message) {
    if (!connected_) {
        fail(kMustBeConnected);
        return false;
    }
    if (message.recipientCount() == 0) {
        fail(kNoRecipients);
        return false;
    }
    bool dropped = message.buildHeader(dateHeaderText(message.date), mailerName_);

    std::string from = message.from;
    dropped = dropLineBreaks(from) || dropped;
    if (!sendText("MAIL From: <" + from + ">\r\n") ||
        readReply(ReplyKind::Ok) != ReplyOutcome::Matched)
        return false;

    for (std::size_t i = 0; i < message.recipientCount(); ++i) {
        std::string address = message.recipient(i)->address;
        dropped = dropLineBreaks(address) || dropped;
        if (!sendText("RCPT TO: <" + address + ">\r\n")) return false;
        // A refused recipient does not stop the others; a broken connection does.
        if (readReply(ReplyKind::Ok) == ReplyOutcome::TransportFailed) return false;
    }
    lineBreaksDropped_ = lineBreaksDropped_ || dropped;

    if (!sendText("DATA\r\n") || readReply(ReplyKind::StartData) != ReplyOutcome::Matched)
        return false;
    if (!sendText(message.header) || !sendText(message.transparentBody()) || !sendText(kEndOfData))
        return false;
    return readReply(ReplyKind::Ok) == ReplyOutcome::Matched;
}

bool SmtpClient::disconnect() {
    if (!connected_) return true;
    bool ok = sendText("QUIT\r\n") && readReply(ReplyKind::Closing) == ReplyOutcome::Matched;
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
    return false;
}

SmtpClient::ReplyOutcome SmtpClient::readReply(ReplyKind kind) {
    // Lines "250-..." belong to the same reply; its last line decides.
    const long long deadline = clock_.nowMs() + timeoutMs_;
    std::string line;
    while (true) {
        if (!receiveReplyLine(line, deadline)) return ReplyOutcome::TransportFailed;
        if (line.size() <= kCodeLength || line[kCodeLength] != kContinuationMark) break;
    }
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
            return false;
        }
        std::size_t received = 0;
        SocketStatus status =
            socket_ ? socket_->receive(replyBuffer_.data(), replyBuffer_.size(), received,
                                       static_cast<int>(std::min<long long>(left, timeoutMs_)))
                    : SocketStatus::Failed;
        if (status != SocketStatus::Ok) {
            fail(status == SocketStatus::TimedOut ? kTimedOut : kSocketError);
            return false;
        }
        pending_.append(replyBuffer_.data(), received);
    }
}

std::string SmtpClient::dateHeaderText(std::time_t written) const {
    LocalDateTime local = toLocal(written != 0 ? written : clock_.now());
    return formatLocal(kDateFormat, local) + zoneName(local);
}

}  // namespace quirn
