#include "comms/SmtpMailSender.h"

namespace quirn {

namespace {
constexpr int kSent = 0;
constexpr int kNotSent = 1;
}  // namespace

SmtpMailSender::SmtpMailSender(const Clock& clock, LogWriter log, SocketFactory makeSocket)
    : clock_(clock), log_(std::move(log)), makeSocket_(std::move(makeSocket)) {}

int SmtpMailSender::send(const OutgoingMail& mail) {
    MailDelivery delivery = deliverMail(mail, SmtpEndpoint{port_, timeoutMs_}, clock_,
                                        makeSocket_ ? makeSocket_() : makeBlockingTcpSocket());
    lastError_ = delivery.error;
    logDelivery(log_, clock_, mail, delivery);
    return delivery.sent ? kSent : kNotSent;
}

}  // namespace quirn
