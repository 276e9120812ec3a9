#pragma once
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
};

// Hands one mail to the mail server. The communications layer fills it (SMTP); operations
// only compose the mail. The sender writes the EMail log line of the attempt itself.
class MailSender {
  public:
    virtual ~MailSender() = default;
    // 0 when every step of the delivery succeeded, 1 when any failed. Never retries.
    virtual int send(const OutgoingMail& mail) = 0;
};

}  // namespace quirn
