#pragma once
#include <compare>

namespace quirn {

// A location by its numbers: master group, group, location (a summer plan's locations, a read
// in the history).
struct LocationKey {
    int masterGroup = 1;
    int group = 1;
    int location = 1;

    friend auto operator<=>(const LocationKey&, const LocationKey&) = default;
};

}  // namespace quirn
