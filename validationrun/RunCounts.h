#pragma once
#include <cstddef>
#include <string>

#include "plans/LocationReadState.h"

namespace quirn {

// How one read of a validation run ended.
enum class ReadOutcome {
    Passed,            // program and clock as the station expects
    ValidateFailed,    // answered; program differs or the clock is wrong
    ConnectionFailed,  // no answer (refused, silent, or the read's time ran out)
    PartialData,       // an answer of the wrong size
    Gone,              // the location was deleted before or while it was read
};

// The outcome of a read from the state it left the location in; a read still marked as
// reading (or any other state) counts as a failed connection.
ReadOutcome outcomeOf(ReadState state);
const char* outcomeText(ReadOutcome outcome);

// What a run has done so far.
struct RunCounts {
    std::size_t passed = 0;
    std::size_t validateFailed = 0;
    std::size_t connectionFailed = 0;
    std::size_t partialData = 0;
    std::size_t gone = 0;
    std::size_t skippedDisabled = 0;  // validate-disabled: never read

    void add(ReadOutcome outcome);
    // Reads that ended, whatever their outcome.
    std::size_t read() const {
        return passed + validateFailed + connectionFailed + partialData + gone;
    }
    // "12 read: 9 passed, 1 validate failed, 2 connection failed, 0 partial data, 1 skipped
    // (validate disabled)".
    std::string text() const;
};

}  // namespace quirn
