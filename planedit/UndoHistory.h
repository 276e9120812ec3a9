#pragma once
#include <cstddef>
#include <deque>

#include "planedit/EditRecord.h"

namespace quirn {

// The undoable steps, newest last, at most `limit` of them (the oldest is forgotten first).
class UndoHistory {
  public:
    explicit UndoHistory(size_t limit) : limit_(limit) {}

    void push(EditRecord record);
    bool empty() const { return records_.empty(); }
    size_t size() const { return records_.size(); }
    // The newest step; only when not empty.
    const EditRecord& newest() const { return records_.back(); }
    EditRecord takeNewest();

  private:
    size_t limit_;
    std::deque<EditRecord> records_;
};

}  // namespace quirn
