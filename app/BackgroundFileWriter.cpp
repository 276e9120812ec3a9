#include "app/BackgroundFileWriter.h"

#include <utility>

#include "platform/AtomicFile.h"

namespace quirn {

BackgroundFileWriter::~BackgroundFileWriter() {
    wait();
}

void BackgroundFileWriter::wait() {
    if (worker_.joinable()) worker_.join();
}

bool BackgroundFileWriter::start(Job job) {
    if (running_.load()) return false;
    wait();  // the previous worker has finished; release its thread
    outcomes_.clear();
    running_ = true;
    worker_ = std::thread([this, job = std::move(job)] {
        bool allWritten = true;
        for (const File& file : job()) {
            const bool written = replaceFileAtomically(file.path, file.bytes);
            outcomes_.push_back({file.path, written});
            allWritten = allWritten && written;
        }
        lastOk_ = allWritten;
        ++finished_;
        running_ = false;
    });
    return true;
}

bool BackgroundFileWriter::start(std::string path, std::string bytes) {
    return start([file = File{std::move(path), std::move(bytes)}]() mutable {
        // Not a braced list: its elements would be copied, and these are megabytes.
        std::vector<File> files;
        files.push_back(std::move(file));
        return files;
    });
}

std::vector<BackgroundFileWriter::Outcome> BackgroundFileWriter::takeOutcomes() {
    if (running_.load()) return {};
    wait();
    return std::exchange(outcomes_, {});
}

}  // namespace quirn
