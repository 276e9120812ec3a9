#pragma once
#include <cstdint>
#include <ctime>
#include <vector>

#include "fleethealth/ReadRecord.h"
#include "plans/PlanDatabase.h"
#include "plans/PlanTypes.h"
#include "platform/LocalTime.h"
#include "tests/support/FleetGenerator.h"

namespace quirn::test {

// The fleet of the guide's pictures (the fleet window and the manager's report): sixty
// locations read by the weekday 04:00 run for sixty days, most of them healthy, a dozen with the
// troubles a technician meets: clocks drifting (one set again half-way), clocks set wrong, a
// program that differs, switches that stopped answering, one never read. Validate-disabled
// locations are not read by the runs, so neither the history nor the snapshot has a read of them.
struct PictureFleet {
    std::vector<ReadRecord> reads;     // time order
    const Location* picked = nullptr;  // the drifting clock set again half-way
};

inline constexpr int kPictureHistoryDays = 60;
inline constexpr int kPictureReadHour = 4;
// toLocal's weekday numbers of the weekend.
inline constexpr int kSundayNumber = 1;
inline constexpr int kSaturdayNumber = 7;

namespace picture {

enum class Trouble {
    None,
    DriftSetAgain,   // +3.2 s a day; set 24 days ago; +3.3 s a day since
    DriftLosing,     // -2.6 s a day for sixty days: now past the limit
    DriftSlow,       // +2.3 s a day, set 40 days ago
    DriftFast,       // 60 s fast until it was set 8 days ago, +11 s a day since
    DriftBackward,   // -3.1 s a day, set 30 days ago
    SetWrong,        // +300 s on every read, not drifting
    HourOff,         // an hour slow (a daylight-saving rule missing)
    ProgramDiffers,  // the last three reads found another program
    Silent,          // no answer for the last nine days
    Partial,         // the last read ended in partial data
    NeverRead,
};

// Where each trouble sits among the locations that can be read (not validate-disabled, not
// whole-minute clocks), spread so that every screen of the table holds some.
struct TroubleAt {
    int position;
    Trouble trouble;
};
inline constexpr TroubleAt kTroubles[] = {
    {1, Trouble::SetWrong},   {3, Trouble::DriftSetAgain},   {6, Trouble::ProgramDiffers},
    {10, Trouble::DriftFast}, {12, Trouble::Silent},         {17, Trouble::DriftLosing},
    {18, Trouble::NeverRead}, {21, Trouble::HourOff},        {25, Trouble::DriftSlow},
    {27, Trouble::Partial},   {30, Trouble::ProgramDiffers}, {32, Trouble::DriftBackward}};

inline constexpr double kHourSeconds = 3600.0;
inline constexpr double kSetWrongSeconds = 300.0;
inline constexpr double kFastBeforeSet = 60.0;

// The offset of a switch with `trouble` `day` days into the history (0 the first day); the
// healthy ones wander a couple of seconds either way. A clock set shows only in the offsets, as
// at the station: back near zero from far off.
inline double offsetOn(Trouble trouble, int day, int index) {
    const int daysLeft = kPictureHistoryDays - 1 - day;
    const double jitter = ((day * 7 + index * 3) % 5 - 2) * 0.5;
    switch (trouble) {
        case Trouble::DriftSetAgain:
            return daysLeft > 24 ? 2 + 3.2 * day + jitter : 3.3 * (24 - daysLeft) + jitter;
        case Trouble::DriftLosing:
            return -2.6 * day + jitter;
        case Trouble::DriftSlow:
            return daysLeft > 40 ? 2.3 * day + jitter : 2.3 * (40 - daysLeft) + jitter;
        case Trouble::DriftFast:
            return daysLeft > 8 ? kFastBeforeSet + jitter : 11.0 * (8 - daysLeft) + jitter;
        case Trouble::DriftBackward:
            return daysLeft > 30 ? -3.1 * day + jitter : -3.1 * (30 - daysLeft) + jitter;
        case Trouble::SetWrong:
            return kSetWrongSeconds + jitter;
        case Trouble::HourOff:
            return -kHourSeconds + jitter;
        default:
            return jitter;
    }
}

inline ReadRecord pictureRead(const Location& l, Trouble trouble, int day, int index,
                              std::time_t at) {
    constexpr double kClockLimit = 120.0;
    constexpr int kProgramBytes = 968;
    const int daysLeft = kPictureHistoryDays - 1 - day;
    ReadRecord r;
    r.time = at;
    r.location = {l.masterGroup, l.group, l.number};
    r.source = l.connection == kRadioAddress ? ReadSource::Radio
               : l.connection == kM2MAddress ? ReadSource::M2M
                                             : ReadSource::WiFi;
    if ((trouble == Trouble::Silent && daysLeft < 9) ||
        (trouble == Trouble::Partial && daysLeft == 0)) {
        r.state = trouble == Trouble::Silent ? ReadState::ConnectionFailed : ReadState::PartialData;
        r.bytesRead = trouble == Trouble::Partial ? kProgramBytes / 3 : 0;
        return r;
    }
    r.hasClock = true;
    r.clockHasSeconds = true;
    r.clockOffsetSeconds = static_cast<long long>(offsetOn(trouble, day, index));
    r.program = trouble == Trouble::ProgramDiffers && daysLeft < 3 ? ProgramMatch::Differs
                                                                   : ProgramMatch::Matched;
    r.relayState = 0;
    r.bytesRead = kProgramBytes;
    r.resultBits =
        (r.program == ProgramMatch::Differs ? 1u : 0u) |
        (r.clockOffsetSeconds >= kClockLimit || r.clockOffsetSeconds <= -kClockLimit ? 2u : 0u);
    r.state = r.resultBits == 0 ? ReadState::ValidatePassed : ReadState::ValidateFailed;
    return r;
}

}  // namespace picture

// Fills `db` with the fleet (as of `now`) and returns its history.
inline PictureFleet makePictureFleet(PlanDatabase& db, std::time_t now) {
    using picture::Trouble;
    FleetShape shape;
    shape.masterGroups = 2;
    shape.groupsPerMasterGroup = 5;
    shape.locationsPerGroup = 6;
    generateFleet(db, shape, now);

    const std::vector<Location*> all = db.allLocations();
    std::vector<Trouble> troubles(all.size(), Trouble::None);
    PictureFleet fleet;
    int readable = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Location& l = *all[i];
        if (l.validateDisabledFlag() ||
            l.model == static_cast<std::int32_t>(TimeSwitchModel::QN510))
            continue;
        for (const picture::TroubleAt& t : picture::kTroubles)
            if (t.position == readable) troubles[i] = t.trouble;
        if (troubles[i] == Trouble::DriftSetAgain) fleet.picked = &l;
        ++readable;
    }

    // The snapshot's own reads are older than the history's; the one never read and the
    // validate-disabled ones have none.
    const LocalDateTime today = toLocal(now);
    const std::time_t snapshotRead =
        fromLocal(today.year, today.month, today.day - kPictureHistoryDays - 10, kPictureReadHour);
    for (std::size_t i = 0; i < all.size(); ++i) {
        all[i]->lastReadTime = snapshotRead;
        all[i]->readState = static_cast<std::int32_t>(ReadState::ValidatePassed);
        if (troubles[i] == Trouble::NeverRead || all[i]->validateDisabledFlag()) {
            all[i]->lastReadTime = defaultLocationReadTime();
            all[i]->readState = static_cast<std::int32_t>(ReadState::NotRead);
        }
    }

    for (int day = 0; day < kPictureHistoryDays; ++day) {
        const int daysLeft = kPictureHistoryDays - 1 - day;
        const std::time_t at =
            fromLocal(today.year, today.month, today.day - daysLeft, kPictureReadHour);
        const int weekday = toLocal(at).weekday;
        if (weekday == kSundayNumber || weekday == kSaturdayNumber) continue;
        for (std::size_t i = 0; i < all.size(); ++i) {
            const Location& l = *all[i];
            if (l.validateDisabledFlag() || troubles[i] == Trouble::NeverRead) continue;
            fleet.reads.push_back(
                picture::pictureRead(l, troubles[i], day, static_cast<int>(i), at));
        }
    }
    return fleet;
}

}  // namespace quirn::test
