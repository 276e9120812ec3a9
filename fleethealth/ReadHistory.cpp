#include "fleethealth/ReadHistory.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "platform/Clock.h"
#include "platform/Format.h"

namespace quirn {

namespace {
constexpr std::time_t kRetentionSeconds =
    static_cast<std::time_t>(kHistoryRetentionDays) * 24 * 60 * 60;

// The newest read's time stands for "now" on the worker, which asks no clock.
std::time_t newestTime(const std::vector<ReadRecord>& batch) {
    std::time_t newest = 0;
    for (const ReadRecord& read : batch) newest = std::max(newest, read.time);
    return newest;
}

std::string openText(const std::string& path, const HistoryOpenResult& result) {
    using Outcome = HistoryOpenResult::Outcome;
    if (result.outcome == Outcome::Replaced)
        return format("Read history %s was damaged (%s); set aside as %s, a fresh history started.",
                      path.c_str(), result.problem.c_str(), result.setAsidePath.c_str());
    return format(
        "Read history %s could not be opened (%s); reads are not kept until the "
        "station starts again.",
        path.c_str(), result.problem.c_str());
}
}  // namespace

ReadHistory::ReadHistory(const Clock& clock, LogWriter log) : clock_(clock), log_(std::move(log)) {}

ReadHistory::~ReadHistory() {
    stop();
}

bool ReadHistory::start(const std::string& path) {
    if (worker_.joinable()) return false;
    path_ = path;
    {
        std::lock_guard lock(mutex_);
        opened_.reset();
        historyOff_ = false;
        stopping_ = false;
    }
    worker_ = std::thread(&ReadHistory::run, this, clock_.now());
    return true;
}

void ReadHistory::stop() {
    if (!worker_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    worker_.join();
}

bool ReadHistory::running() const {
    return worker_.joinable();
}

void ReadHistory::record(const ReadRecord& read) {
    {
        std::lock_guard lock(mutex_);
        if (!worker_.joinable() || stopping_ || historyOff_ || queue_.size() >= kQueueLimit) {
            ++dropped_;
            return;
        }
        queue_.push_back(read);
        ++queued_;
    }
    wake_.notify_one();
}

bool ReadHistory::flush(std::chrono::milliseconds wait) {
    std::unique_lock lock(mutex_);
    const unsigned long long target = queued_;
    return changed_.wait_for(lock, wait, [&] { return settled_ >= target; });
}

std::optional<HistoryOpenResult> ReadHistory::waitOpened(std::chrono::milliseconds wait) const {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, wait, [&] { return opened_.has_value(); });
    return opened_;
}

void ReadHistory::poll() {
    std::vector<std::string> notes;
    unsigned long long dropped = 0;
    {
        std::lock_guard lock(mutex_);
        notes.swap(notes_);
        std::swap(dropped, dropped_);
    }
    for (const std::string& line : notes) log_.logSystem(clock_, line);
    if (dropped > 0 && !path_.empty())
        log_.logSystem(clock_, format("Read history: %llu reads were not kept.", dropped));
}

void ReadHistory::note(std::string line) {
    std::lock_guard lock(mutex_);
    notes_.push_back(std::move(line));
}

void ReadHistory::openOnWorker(std::time_t started) {
    HistoryOpenResult result = writer_.open(path_, started);
    std::lock_guard lock(mutex_);
    opened_ = result;
    if (result.outcome == HistoryOpenResult::Outcome::Replaced ||
        result.outcome == HistoryOpenResult::Outcome::Failed)
        notes_.push_back(openText(path_, result));
    if (!result.ok()) {
        historyOff_ = true;
        dropped_ += queue_.size();
        settled_ += queue_.size();
        queue_.clear();
    }
    changed_.notify_all();
}

void ReadHistory::writeBatch(std::vector<ReadRecord>& batch) {
    if (!writer_.isOpen()) return;
    if (writer_.insert(batch)) return;
    if (writer_.lastErrorIsDamage()) {
        // The file broke under the station (a disk fault, another program): start afresh once.
        const std::string problem = writer_.lastError();
        writer_.close();
        HistoryOpenResult result = writer_.open(path_, newestTime(batch));
        if (result.outcome != HistoryOpenResult::Outcome::Replaced) result.problem = problem;
        note(openText(path_, result));
        if (!result.ok() || writer_.insert(batch)) return;
    }
    note(format("Read history: %d reads could not be written (%s).", static_cast<int>(batch.size()),
                writer_.lastError().c_str()));
}

void ReadHistory::run(std::time_t started) {
    openOnWorker(started);
    std::vector<ReadRecord> batch;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) break;
            const size_t take = std::min(queue_.size(), kBatchLimit);
            batch.assign(std::make_move_iterator(queue_.begin()),
                         std::make_move_iterator(queue_.begin() + static_cast<long>(take)));
            queue_.erase(queue_.begin(), queue_.begin() + static_cast<long>(take));
        }
        writeBatch(batch);
        if (writer_.isOpen()) {
            if (writer_.pruneSlice(newestTime(batch) - kRetentionSeconds, kPruneSliceLocations) < 0)
                note("Read history: old reads could not be pruned (" + writer_.lastError() + ").");
        }
        std::lock_guard lock(mutex_);
        settled_ += batch.size();
        changed_.notify_all();
    }
    writer_.close();
}

std::vector<LocationHealth> ReadHistory::latestOfEveryLocation() const {
    ReadHistoryStore reader;
    if (!reader.openForReading(path_)) return {};
    return reader.latestOfEveryLocation();
}

bool ReadHistory::locationHealth(const LocationKey& location, LocationHealth& out) const {
    ReadHistoryStore reader;
    return reader.openForReading(path_) && reader.locationHealth(location, out);
}

std::vector<ReadRecord> ReadHistory::locationHistory(const LocationKey& location,
                                                     std::time_t since) const {
    ReadHistoryStore reader;
    if (!reader.openForReading(path_)) return {};
    return reader.locationHistory(location, since);
}

}  // namespace quirn
