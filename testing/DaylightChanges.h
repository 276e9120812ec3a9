#pragma once
#include <cstddef>
#include <ctime>
#include <vector>

namespace quirn {

// The daylight-saving changes of the station's time zone as the C library knows them (TZ
// decides them), found by looking at local time day by day.
struct DaylightChange {
    std::time_t at = 0;  // the first second under the new offset
    bool spring = true;  // daylight time begins (false: it ends)
    int year = 0;        // local year of the change
};

// The changes from `from` on, oldest first: at most `limit`, none after the end of `lastYear`.
// Empty in a zone without daylight saving.
std::vector<DaylightChange> daylightChanges(std::time_t from, int lastYear, std::size_t limit);

// True when the local day holding t changes its offset.
bool hasDaylightChange(std::time_t t);
// Local noon of the day holding t, or of the next day when that day changes its offset: the
// hour a change skips or repeats would make steps early in the morning ambiguous.
std::time_t noonWithoutChange(std::time_t t);

}  // namespace quirn
