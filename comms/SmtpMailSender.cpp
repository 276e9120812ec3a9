#include "comms/SmtpMailSender.h"

#include "comms/MailMessage.h"
#include "ops/LogWriter.h"

namespace quirn {

namespace {

constexpr int kSent = 0;
constexpr int kNotSent = 1;

}  // namespace

SmtpMailSender::SmtpMailSender(const Clock& clock, SocketFactory makeSocket)
    : clock_(clock), makeSocket_(std::move(makeSocket)) {}

int SmtpMailSender::send(const OutgoingMail& mail) {
    MailMessage message;
    message.from = mail.from;
    message.subject = mail.subject;
    message.body = mail.body;
    message.addRecipient(mail.toAddress, mail.toName);

    bool ok = false;
    {
        SmtpClient client(clock_, mail.server, port_, makeSocket_ ? makeSocket_() : nullptr);
        client.setTimeoutMs(timeoutMs_);
        ok = client.connect() && client.sendMessage(message) && client.disconnect();
        lastError_ = ok ? std::string() : client.lastError();
    }

    // The log names the first recipient as the message carried it (no line breaks).
    std::string address = mail.toAddress;
    std::string name = mail.toName;
    dropLineBreaks(address);
    dropLineBreaks(name);
    logEMail(clock_, ok ? "To: " + address + ", " + name : "To: " + address + ", FAILED " + name);
    return ok ? kSent : kNotSent;
}

}  // namespace quirn
