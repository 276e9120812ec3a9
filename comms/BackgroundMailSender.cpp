#include "comms/BackgroundMailSender.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "ops/LogWriter.h"

namespace quirn {

namespace {
constexpr int kHandedOver = 0;
constexpr int kRefused = 1;
constexpr const char* kNotSentReason = "not sent, the program ended before the mail server took ";
}  // namespace

BackgroundMailSender::BackgroundMailSender(const Clock& clock, LogWriter log,
                                           SocketFactory makeSocket)
    : clock_(clock), log_(std::move(log)), makeSocket_(std::move(makeSocket)) {}

BackgroundMailSender::~BackgroundMailSender() {
    stopWorker();
}

int BackgroundMailSender::send(const OutgoingMail& mail) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (finished_) return kRefused;
    waiting_.push_back(Job{mail, endpoint_});
    if (!worker_.joinable()) worker_ = std::thread([this] { run(); });
    changed_.notify_all();
    return kHandedOver;
}

void BackgroundMailSender::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
        if (stopping_) return;
        Job job = std::move(waiting_.front());
        waiting_.pop_front();
        delivering_ = true;
        lock.unlock();
        std::unique_ptr<BlockingTcpSocket> socket =
            makeSocket_ ? makeSocket_(cancel_) : makeBlockingTcpSocket(&cancel_);
        MailDelivery delivery =
            deliverMail(job.mail, job.endpoint, workerClock_, std::move(socket));
        lock.lock();
        delivering_ = false;
        // Cut short by the end of the program: not a failure of the server, a mail not sent.
        if (stopping_ && !delivery.sent)
            cutShort_.push_back(std::move(job.mail));
        else
            ended_.push_back(Outcome{std::move(job.mail), std::move(delivery)});
        changed_.notify_all();
    }
}

std::size_t BackgroundMailSender::logFinished() {
    std::deque<Outcome> ended;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ended.swap(ended_);
    }
    for (const Outcome& o : ended) logDelivery(log_, clock_, o.mail, o.delivery);
    return ended.size();
}

std::size_t BackgroundMailSender::unfinished() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return waiting_.size() + (delivering_ ? 1 : 0) + ended_.size();
}

void BackgroundMailSender::finish(int waitMs) {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        finished_ = true;
        changed_.wait_for(lock, std::chrono::milliseconds(waitMs < 0 ? 0 : waitMs),
                          [this] { return waiting_.empty() && !delivering_; });
    }
    stopWorker();
    logFinished();
    // The worker has ended: what it cut short came before what it never began.
    std::vector<OutgoingMail> notSent(cutShort_.begin(), cutShort_.end());
    for (const Job& job : waiting_) notSent.push_back(job.mail);
    cutShort_.clear();
    waiting_.clear();
    logNotSent(notSent);
}

void BackgroundMailSender::logNotSent(const std::vector<OutgoingMail>& notSent) {
    // One line per technician, however many of their mails were left.
    std::vector<std::pair<const OutgoingMail*, std::size_t>> perTechnician;
    for (const OutgoingMail& mail : notSent) {
        auto same = [&mail](const auto& entry) {
            return entry.first->toAddress == mail.toAddress && entry.first->toName == mail.toName;
        };
        auto it = std::find_if(perTechnician.begin(), perTechnician.end(), same);
        if (it == perTechnician.end())
            perTechnician.emplace_back(&mail, 1);
        else
            ++it->second;
    }
    for (const auto& [mail, count] : perTechnician)
        logFailedMail(log_, clock_, *mail,
                      count == 1 ? std::string(kNotSentReason) + "it"
                                 : std::to_string(count) + " mails " + kNotSentReason + "them");
    const std::size_t total = notSent.size();
    if (total > 0)
        log_.logSystem(clock_, std::to_string(total) + (total == 1 ? " mail was" : " mails were") +
                                   " not sent: the mail server had not taken " +
                                   (total == 1 ? "it" : "them") + " when the program ended.");
}

void BackgroundMailSender::stopWorker() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        changed_.notify_all();
    }
    // Cuts short the dialogue under way: its waits end at once.
    cancel_.raise();
    if (worker_.joinable()) worker_.join();
}

}  // namespace quirn
