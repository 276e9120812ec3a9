#pragma once
#include <memory>
#include <string>

#include "comms/SmtpClient.h"
#include "ops/LogWriter.h"
#include "ops/MailSender.h"
#include "platform/BlockingTcpSocket.h"
#include "platform/Clock.h"

namespace quirn {

// Where and how patiently mail is handed over.
struct SmtpEndpoint {
    unsigned port = SmtpClient::kDefaultPort;
    int timeoutMs = SmtpClient::kDefaultTimeoutMs;  // of each step of the dialogue
};

// What became of one mail.
struct MailDelivery {
    bool sent = false;
    std::string error;               // why not, when not sent (the client's last error)
    std::string reason;              // the same for a reader: the server's reply, a time-out
    bool lineBreaksDropped = false;  // a header field or an address had line breaks removed
};

// One mail's whole SMTP dialogue: connect, send, disconnect, the first failing step ending it.
// Writes no log and touches nothing but the socket and the clock's time, so it may run on a
// thread of its own (with a clock that is safe there).
MailDelivery deliverMail(const OutgoingMail& mail, const SmtpEndpoint& endpoint, const Clock& clock,
                         std::unique_ptr<BlockingTcpSocket> socket);

// The EMail log lines of a delivery: "To: <address>, <name>" on success, "To: <address>,
// FAILED <name>: <reason>" otherwise, after the line about removed line breaks when there was
// one.
void logDelivery(const LogWriter& log, const Clock& clock, const OutgoingMail& mail,
                 const MailDelivery& delivery);

// The EMail log line of a mail that failed or was never tried: "To: <address>, FAILED <name>:
// <reason>" (the address and name without line breaks).
void logFailedMail(const LogWriter& log, const Clock& clock, const OutgoingMail& mail,
                   const std::string& reason);

}  // namespace quirn
