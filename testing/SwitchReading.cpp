#include "testing/SwitchReading.h"

#include "plans/Location.h"
#include "protocol/ProgramImage.h"
#include "protocol/Qn510Image.h"
#include "testing/WallClock.h"

namespace quirn {

std::optional<SwitchReading> readingOf(const Location& location) {
    const ReadBackImage* image = location.image.get();
    if (const auto* program = dynamic_cast<const ProgramImage*>(image)) {
        std::optional<LocalDateTime> clock = program->clockFields();
        if (!clock) return std::nullopt;
        return SwitchReading{withWeekday(*clock), program->relayBits() != 0};
    }
    if (const auto* qn510 = dynamic_cast<const Qn510Image*>(image)) {
        // The QN510 reports weekday, hour and minute only: the date is the read's.
        std::time_t clock = qn510->clock();
        if (isNever(clock)) return std::nullopt;
        return SwitchReading{toLocal(clock),
                             (qn510->tables().flags() & Qn510Tables::kRelayOn) != 0};
    }
    return std::nullopt;
}

}  // namespace quirn
