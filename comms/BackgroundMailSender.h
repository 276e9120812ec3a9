#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "comms/SmtpDelivery.h"
#include "ops/MailSender.h"
#include "platform/BlockingTcpSocket.h"
#include "platform/CancelSignal.h"
#include "platform/Clock.h"

namespace quirn {

// Delivers the station's mail on one worker thread of its own, so that an SMTP dialogue (each
// step may wait 30 s on a silent server) never holds the window or the communications and
// scheduler ticks. Mails are delivered one at a time in the order handed over. The worker only
// gets copies of the mails and gives back copies of the outcomes; the EMail log lines are
// written on the caller's thread by logFinished(), which the station calls from a timer.
class BackgroundMailSender final : public MailSender {
  public:
    using SocketFactory =
        std::function<std::unique_ptr<BlockingTcpSocket>(const CancelSignal& cancel)>;

    // `clock` is the station's: it stamps the log lines on the caller's thread. The worker
    // measures its time-outs with the system clock.
    BackgroundMailSender(const Clock& clock, LogWriter log, SocketFactory makeSocket = {});
    // Abandons what is still to go (finish() first for a bounded wait).
    ~BackgroundMailSender() override;
    BackgroundMailSender(const BackgroundMailSender&) = delete;
    BackgroundMailSender& operator=(const BackgroundMailSender&) = delete;

    // Apply to mails handed over afterwards.
    void setPort(unsigned port) { endpoint_.port = port; }
    void setTimeoutMs(int timeoutMs) { endpoint_.timeoutMs = timeoutMs; }

    // Hands the mail to the worker: 0, or 1 once finish() has run.
    int send(const OutgoingMail& mail) override;
    // Writes the EMail lines of the mails whose delivery has ended since the last call, in
    // order; returns how many.
    std::size_t logFinished();
    // Mails handed over whose outcome has not been logged yet.
    std::size_t unfinished() const;

    // For the end of the program: waits at most waitMs for the mails still to go, logs their
    // outcomes, then abandons the rest (the dialogue under way is cut short). Each technician
    // whose mail was not sent gets one FAILED line in the EMail log (with the count when more
    // than one of theirs was left), and one System line gives the total; a mail cut short is
    // counted there once, not also as a failed delivery. Later mails are refused.
    void finish(int waitMs);

  private:
    struct Job {
        OutgoingMail mail;
        SmtpEndpoint endpoint;
    };
    struct Outcome {
        OutgoingMail mail;
        MailDelivery delivery;
    };
    void run();
    void stopWorker();
    void logNotSent(const std::vector<OutgoingMail>& notSent);

    const Clock& clock_;
    LogWriter log_;
    SystemClock workerClock_;
    SocketFactory makeSocket_;
    SmtpEndpoint endpoint_;
    CancelSignal cancel_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> waiting_;
    std::deque<Outcome> ended_;
    // Mails whose dialogue the end of the program cut short.
    std::deque<OutgoingMail> cutShort_;
    bool delivering_ = false;
    bool stopping_ = false;
    bool finished_ = false;
    std::thread worker_;  // started with the first mail
};

}  // namespace quirn
