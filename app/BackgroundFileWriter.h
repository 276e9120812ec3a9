#pragma once
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace quirn {

// Writes files on a worker thread, so that megabytes and their syncs never hold the
// user-interface thread. The caller copies what the files hold on its own thread (the records
// may change while the worker writes); the job turns that copy into the files' bytes on the
// worker, and each file is then written in order by an atomic replace. One job at a time.
class BackgroundFileWriter {
  public:
    struct File {
        std::string path;
        std::string bytes;
    };
    struct Outcome {
        std::string path;
        bool written = false;
    };
    // Runs on the worker: the files to write, in order.
    using Job = std::function<std::vector<File>()>;

    BackgroundFileWriter() = default;
    ~BackgroundFileWriter();  // waits for a running job
    BackgroundFileWriter(const BackgroundFileWriter&) = delete;
    BackgroundFileWriter& operator=(const BackgroundFileWriter&) = delete;

    // Starts the job; false (and the job dropped) while the last one is still running.
    bool start(Job job);
    bool start(std::string path, std::string bytes);
    bool busy() const { return running_.load(); }
    // Waits for the running job, if any.
    void wait();
    // Once a job has ended: what became of each of its files, in order, handed over once.
    // Empty while a job runs.
    std::vector<Outcome> takeOutcomes();
    // Number of jobs finished and whether every file of the last one was written.
    int finished() const { return finished_.load(); }
    bool lastSucceeded() const { return lastOk_.load(); }

  private:
    std::thread worker_;
    std::atomic<bool> running_{false};
    std::atomic<int> finished_{0};
    std::atomic<bool> lastOk_{false};
    std::vector<Outcome> outcomes_;  // written by the worker, read only after it has ended
};

}  // namespace quirn
