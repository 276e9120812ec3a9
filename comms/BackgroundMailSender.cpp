#include "comms/BackgroundMailSender.h"

#include <chrono>
#include <string>

#include "ops/LogWriter.h"

namespace quirn {

namespace {
constexpr int kHandedOver = 0;
constexpr int kRefused = 1;
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
    std::size_t notSent = 0;
    {
        std::unique_lock<std::mutex> lock(mutex_);
        finished_ = true;
        changed_.wait_for(lock, std::chrono::milliseconds(waitMs < 0 ? 0 : waitMs),
                          [this] { return waiting_.empty() && !delivering_; });
        notSent = waiting_.size() + (delivering_ ? 1 : 0);
    }
    stopWorker();
    logFinished();
    if (notSent > 0)
        log_.logSystem(clock_, std::to_string(notSent) +
                                   (notSent == 1 ? " mail was" : " mails were") +
                                   " not sent: the mail server had not taken " +
                                   (notSent == 1 ? "it" : "them") + " when the program ended.");
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
