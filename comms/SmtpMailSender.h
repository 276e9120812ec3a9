#pragma once
#include <functional>
#include <memory>

#include "comms/SmtpClient.h"
#include "comms/SmtpDelivery.h"
#include "ops/LogWriter.h"
#include "ops/MailSender.h"
#include "platform/BlockingTcpSocket.h"
#include "platform/Clock.h"

namespace quirn {

// Sends each notification mail through a new SmtpClient on the caller's thread, then writes
// its EMail log line (see deliverMail and logDelivery). For tools and tests; the station hands
// its mail to the BackgroundMailSender so that no dialogue holds its window.
class SmtpMailSender final : public MailSender {
  public:
    using SocketFactory = std::function<std::unique_ptr<BlockingTcpSocket>()>;

    SmtpMailSender(const Clock& clock, LogWriter log, SocketFactory makeSocket = {});

    // The mail server's port (SmtpClient::kDefaultPort unless told otherwise).
    void setPort(unsigned port) { port_ = port; }
    // Time-out of each step of the dialogue, in milliseconds.
    void setTimeoutMs(int timeoutMs) { timeoutMs_ = timeoutMs; }

    int send(const OutgoingMail& mail) override;

    // Why the last attempt failed; empty after a success.
    const std::string& lastError() const { return lastError_; }

  private:
    const Clock& clock_;
    LogWriter log_;
    SocketFactory makeSocket_;
    unsigned port_ = SmtpClient::kDefaultPort;
    int timeoutMs_ = SmtpClient::kDefaultTimeoutMs;
    std::string lastError_;
};

}  // namespace quirn
