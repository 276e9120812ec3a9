#include "comms/SmtpDelivery.h"

#include "comms/MailMessage.h"
#include "ops/LogWriter.h"

namespace quirn {

namespace {
constexpr const char* kHeaderLineBreaksDropped =
    "Line breaks removed from a mail header field or address";
}  // namespace

MailDelivery deliverMail(const OutgoingMail& mail, const SmtpEndpoint& endpoint, const Clock& clock,
                         std::unique_ptr<BlockingTcpSocket> socket) {
    MailMessage message;
    message.from = mail.from;
    message.subject = mail.subject;
    message.body = mail.body;
    message.date = mail.composedAt;
    message.addRecipient(mail.toAddress, mail.toName);

    MailDelivery delivery;
    SmtpClient client(clock, mail.server, endpoint.port, std::move(socket));
    client.setTimeoutMs(endpoint.timeoutMs);
    delivery.sent = client.connect() && client.sendMessage(message) && client.disconnect();
    if (!delivery.sent) {
        delivery.error = client.lastError();
        delivery.reason = client.failureReason().empty() ? delivery.error : client.failureReason();
    }
    delivery.lineBreaksDropped = client.lineBreaksDropped();
    return delivery;
}

namespace {
// "To: <address>, <marker><name>": the recipient as the message carried it (no line breaks).
std::string recipientLine(const OutgoingMail& mail, std::string_view marker) {
    std::string address = mail.toAddress;
    std::string name = mail.toName;
    dropLineBreaks(address);
    dropLineBreaks(name);
    return "To: " + address + ", " + std::string(marker) + name;
}
}  // namespace

void logDelivery(const LogWriter& log, const Clock& clock, const OutgoingMail& mail,
                 const MailDelivery& delivery) {
    if (delivery.lineBreaksDropped) log.logEMail(clock, kHeaderLineBreaksDropped);
    if (delivery.sent)
        log.logEMail(clock, recipientLine(mail, ""));
    else
        logFailedMail(log, clock, mail, delivery.reason);
}

void logFailedMail(const LogWriter& log, const Clock& clock, const OutgoingMail& mail,
                   const std::string& reason) {
    log.logEMail(clock, recipientLine(mail, "FAILED ") + ": " + reason);
}

}  // namespace quirn
