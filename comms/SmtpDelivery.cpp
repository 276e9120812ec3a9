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
    if (!delivery.sent) delivery.error = client.lastError();
    delivery.lineBreaksDropped = client.lineBreaksDropped();
    return delivery;
}

void logDelivery(const LogWriter& log, const Clock& clock, const OutgoingMail& mail,
                 const MailDelivery& delivery) {
    if (delivery.lineBreaksDropped) log.logEMail(clock, kHeaderLineBreaksDropped);
    // The log names the recipient as the message carried it (no line breaks).
    std::string address = mail.toAddress;
    std::string name = mail.toName;
    dropLineBreaks(address);
    dropLineBreaks(name);
    log.logEMail(clock, delivery.sent ? "To: " + address + ", " + name
                                      : "To: " + address + ", FAILED " + name);
}

}  // namespace quirn
