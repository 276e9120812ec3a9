#include "platform/CancelSignal.h"

namespace quirn {

CancelSignal::CancelSignal() = default;
CancelSignal::~CancelSignal() = default;

void CancelSignal::raise() {
    raised_ = true;
}

bool CancelSignal::raised() const {
    return raised_;
}

}  // namespace quirn
