#include "sim/ReplyPacer.h"

namespace quirn::sim {

void ReplyPacer::add(std::string_view bytes, long long nowMs) {
    if (bytes.empty()) return;
    if (queue_.empty() && nextMs_ < nowMs) nextMs_ = nowMs;
    queue_.append(bytes);
}

std::string ReplyPacer::due(long long nowMs) {
    std::string out;
    if (msPerByte_ == 0) {
        out.swap(queue_);
        return out;
    }
    if (queue_.empty() || nowMs < nextMs_) return out;
    long long count = (nowMs - nextMs_) / msPerByte_ + 1;
    size_t n =
        count < static_cast<long long>(queue_.size()) ? static_cast<size_t>(count) : queue_.size();
    out = queue_.substr(0, n);
    queue_.erase(0, n);
    nextMs_ += static_cast<long long>(n) * msPerByte_;
    return out;
}

}  // namespace quirn::sim
