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
    // True once a message had line breaks removed from a header field or an address (the
    // caller says so in its log; the client itself writes no log).
    bool lineBreaksDropped() const { return lineBreaksDropped_; }
    const std::string& lastError() const { return lastError_; }

  private:
    enum class ReplyOutcome { Matched, OtherCode, TransportFailed };

    ReplyOutcome readReply(ReplyKind kind);
    // One reply line without its line end, waiting until deadlineMs of the clock's nowMs().
    bool receiveReplyLine(std::string& line, long long deadlineMs);
    bool sendText(std::string_view text);
    std::string dateHeaderText(std::time_t written) const;
    void fail(std::string reason) { lastError_ = std::move(reason); }
    void closeSocket();

    const Clock& clock_;
    std::string lastError_;
    bool connected_ = false;
    bool lineBreaksDropped_ = false;
    unsigned port_;
    std::string mailerName_ = kMailerName;
    std::string server_;
    std::unique_ptr<BlockingTcpSocket> socket_;
    std::array<char, kReplyBufferSize> replyBuffer_{};
    // Bytes received but not yet judged: the start of the next reply line.
    std::string pending_;
    int timeoutMs_ = kDefaultTimeoutMs;
};

}  // namespace quirn
