#include "app/ReadBackSaver.h"

#include "platform/AtomicFile.h"

namespace quirn {

ReadBackSaver::~ReadBackSaver() {
    wait();
}

void ReadBackSaver::wait() {
    if (worker_.joinable()) worker_.join();
}

bool ReadBackSaver::start(std::string path, std::string bytes) {
    if (running_.load()) return false;
    wait();  // the previous worker has finished; release its thread
    running_ = true;
    worker_ = std::thread([this, path = std::move(path), bytes = std::move(bytes)] {
        lastOk_ = replaceFileAtomically(path, bytes);
        ++finished_;
        running_ = false;
    });
    return true;
}

}  // namespace quirn
