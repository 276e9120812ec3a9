#pragma once
#include <ctime>
#include <string>

namespace quirn {

// One notification mail: where it goes through, who sends it, its one recipient and text.
struct OutgoingMail {
    std::string server;     // host name or address of the mail server
    std::string from;       // sender address
    std::string toAddress;  // recipient address
    std::string toName;     // recipient display name (may be empty)
    std::string subject;
    std::string body;
    std::time_t composedAt = 0;  // when it was written: its Date (0: when it is sent)
};

// Hands one mail to the mail server. The communications layer fills it (SMTP); operations
// only compose the mail. The sender writes the EMail log line of the attempt itself (a sender
// that delivers in the background writes it when the attempt has ended).
class MailSender {
  public:
    virtual ~MailSender() = default;
    // 0 when every step of the delivery succeeded (or, for a background sender, when the mail
    // was handed over for delivery), 1 when any failed. Never retries.
    virtual int send(const OutgoingMail& mail) = 0;
};

}  // namespace quirn
