#pragma once
#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "comms/MailMessage.h"
#include "platform/BlockingTcpSocket.h"
#include "platform/Clock.h"

namespace quirn {

// A minimal SMTP client: connects, greets, hands over one message with its recipients and
// quits. No authentication, no encryption, no attachments. Every wait (connect, send, each
// reply) is bounded by the time-out, so a silent server delays the caller but never holds it.
// Every call that fails leaves its reason in lastError() and returns false.
class SmtpClient {
  public:
    static constexpr unsigned kDefaultPort = 25;
    static constexpr int kDefaultTimeoutMs = 30000;
    static constexpr std::size_t kReplyBufferSize = 1024;
    static constexpr std::size_t kMaxHostNameLength = 80;
    static constexpr const char* kMailerName = "Tolm Mail";

    // The reply a step waits for; indexes the table of expected codes and error texts.
    enum class ReplyKind { Ok = 0, Ready = 1, StartData = 2, Closing = 3 };

    // clock gives the Date header and measures the reply time-outs. Not connected yet.
    SmtpClient(const Clock& clock, std::string server, unsigned port = kDefaultPort,
               std::unique_ptr<BlockingTcpSocket> socket = makeBlockingTcpSocket());
    // Says QUIT when still connected.
    ~SmtpClient();
    SmtpClient(const SmtpClient&) = delete;
    SmtpClient& operator=(const SmtpClient&) = delete;

    // Time-out of connect, of every send and of every reply, in milliseconds.
    void setTimeoutMs(int timeoutMs) { timeoutMs_ = timeoutMs; }
    int timeoutMs() const { return timeoutMs_; }

    // Connects and says HELO with this computer's name. True when already connected.
    bool connect();
    // Sends one message (builds its header first). A recipient the server refuses does not
    // stop the message; the end of the data must be accepted for success. A failure leaves
    // the client connected.
    bool sendMessage(MailMessage& message);
    // Says QUIT and closes; true when not connected. The result is the check of the reply.
    bool disconnect();

    bool isConnected() const { return connected_; }
    // Why the last call failed, for a technician reading the EMail log: the server's own reply
    // and the command it answered ("550 5.1.1 Recipient refused (reply to RCPT)"), or what
    // timed out or broke. Empty while nothing failed.
    const std::string& failureReason() const { return failureReason_; }
    // True once a message had line breaks removed from a header field or an address (the
    // caller says so in its log; the client itself writes no log).
    bool lineBreaksDropped() const { return lineBreaksDropped_; }
    const std::string& lastError() const { return lastError_; }

  private:
    enum class ReplyOutcome { Matched, OtherCode, TransportFailed };

    ReplyOutcome readReply(ReplyKind kind);
    // readReply, and when the code is another, the server's reply becomes the failure reason.
    bool expectReply(ReplyKind kind);
    // One reply line without its line end, waiting until deadlineMs of the clock's nowMs().
    bool receiveReplyLine(std::string& line, long long deadlineMs);
    bool sendText(std::string_view text);
    void fail(std::string reason) { lastError_ = std::move(reason); }
    // Notes why the step under way failed, unless a reason is already known.
    void explain(std::string reason);
    void explainStatus(SocketStatus status, bool sending);
    void closeSocket();

    const Clock& clock_;
    std::string lastError_;
    std::string failureReason_;
    // The command whose reply is awaited ("HELO", "RCPT", ...), for the failure reason.
    std::string step_;
    // The server's reply to the first refused recipient: the real reason when the data is
    // then refused for want of recipients.
    std::string refusedRecipientReply_;
    bool connected_ = false;
    bool lineBreaksDropped_ = false;
    unsigned port_;
    std::string mailerName_ = kMailerName;
    std::string server_;
    std::unique_ptr<BlockingTcpSocket> socket_;
    std::array<char, kReplyBufferSize> replyBuffer_{};
    // Bytes received but not yet judged: the start of the next reply line.
    std::string pending_;
    // The last reply line judged.
    std::string lastReply_;
    int timeoutMs_ = kDefaultTimeoutMs;
};

}  // namespace quirn
