#pragma once
#include <string_view>

#include "sim/Qn510Memory.h"

namespace quirn::sim {

// The steps of a paged 'D', 'W' or 'O' text as a QN510 reads them, written from the message
// format rather than taken from the station's decoder, so that a decoding fault on either side
// shows in a round trip. The data is a run of triplets: a day letter ("A" Monday to Friday,
// "B" every day, "C" the weekend, "D".."J" Monday..Sunday alone, "K".."S" the other sets), an
// hour letter ("A".."X" for an ON step, "a".."x" for an OFF step) and the minute as one base-62
// digit. A triplet that does not read is skipped; the next one still counts.
struct PagedSteps {
    Qn510Memory::MinuteMasks on{};
    Qn510Memory::MinuteMasks off{};
    bool any() const;
};

PagedSteps readPagedSteps(std::string_view data);

}  // namespace quirn::sim
