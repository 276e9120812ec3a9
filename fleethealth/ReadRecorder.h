#pragma once
#include "fleethealth/ReadRecord.h"

namespace quirn {

// Where every read path hands the record of a read it finished. The station owns the one
// implementation (the read history); a path without history holds none (a null pointer).
// record() never blocks on the disk: it only queues.
class ReadRecorder {
  public:
    virtual ~ReadRecorder() = default;
    virtual void record(const ReadRecord& read) = 0;
};

}  // namespace quirn
