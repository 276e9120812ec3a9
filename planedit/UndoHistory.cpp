#include "planedit/UndoHistory.h"

#include <utility>

namespace quirn {

void UndoHistory::push(EditRecord record) {
    records_.push_back(std::move(record));
    while (records_.size() > limit_) records_.pop_front();
}

EditRecord UndoHistory::takeNewest() {
    EditRecord record = std::move(records_.back());
    records_.pop_back();
    return record;
}

}  // namespace quirn
