#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "platform/CancelSignal.h"

namespace quirn {

CancelSignal::CancelSignal() {
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) == 0) {
        readEnd_ = ends[0];
        writeEnd_ = ends[1];
    }
}

CancelSignal::~CancelSignal() {
    if (readEnd_ >= 0) ::close(readEnd_);
    if (writeEnd_ >= 0) ::close(writeEnd_);
}

void CancelSignal::raise() {
    if (writeEnd_ < 0) return;
    const char byte = 1;
    // One byte is enough: nobody reads it, so the read end stays readable.
    [[maybe_unused]] ssize_t n = ::write(writeEnd_, &byte, 1);
}

bool CancelSignal::raised() const {
    if (readEnd_ < 0) return false;
    pollfd p{readEnd_, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

}  // namespace quirn
