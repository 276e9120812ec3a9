#pragma once
#include <compare>

namespace quirn {

// A group as every record addresses it: by master group and group number.
struct GroupKey {
    int masterGroup = 1;
    int group = 1;

    friend auto operator<=>(const GroupKey&, const GroupKey&) = default;
};

}  // namespace quirn
