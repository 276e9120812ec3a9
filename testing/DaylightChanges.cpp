#include "testing/DaylightChanges.h"

#include "platform/LocalTime.h"

namespace quirn {

namespace {

constexpr int kNoon = 12;

bool daylightAt(std::time_t t) {
    return toLocal(t).isDst;
}

std::time_t noonOf(const LocalDateTime& day, int daysLater) {
    return fromLocal(day.year, day.month, day.day + daysLater, kNoon);
}

// The first second in (before, after] whose offset is that of `after`.
std::time_t firstSecondOfChange(std::time_t before, std::time_t after) {
    const bool wanted = daylightAt(after);
    while (after - before > 1) {
        std::time_t middle = before + (after - before) / 2;
        if (daylightAt(middle) == wanted)
            after = middle;
        else
            before = middle;
    }
    return after;
}

}  // namespace

std::vector<DaylightChange> daylightChanges(std::time_t from, int lastYear, std::size_t limit) {
    std::vector<DaylightChange> changes;
    const LocalDateTime first = toLocal(from);
    std::time_t previous = noonOf(first, 0);
    bool previousDaylight = daylightAt(previous);
    for (int day = 1; changes.size() < limit; ++day) {
        std::time_t noon = noonOf(first, day);
        LocalDateTime local = toLocal(noon);
        if (local.year > lastYear) break;
        if (local.isDst != previousDaylight) {
            std::time_t at = firstSecondOfChange(previous, noon);
            if (at >= from) changes.push_back({at, local.isDst, toLocal(at).year});
        }
        previous = noon;
        previousDaylight = local.isDst;
    }
    return changes;
}

bool hasDaylightChange(std::time_t t) {
    LocalDateTime day = toLocal(t);
    std::time_t start = fromLocal(day.year, day.month, day.day);
    std::time_t end = fromLocal(day.year, day.month, day.day + 1) - 1;
    return daylightAt(start) != daylightAt(end);
}

std::time_t noonWithoutChange(std::time_t t) {
    LocalDateTime day = toLocal(t);
    std::time_t noon = noonOf(day, 0);
    return hasDaylightChange(noon) ? noonOf(day, 1) : noon;
}

}  // namespace quirn
