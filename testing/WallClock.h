#pragma once
#include "platform/LocalTime.h"

namespace quirn {

// Clock readings compared as a wall clock shows them, without a time zone: at a daylight-saving
// change the hour skipped or repeated counts as written, so a time switch that missed the
// change reads an hour off instead of the same instant under another offset.

// Seconds from 1970-01-01 00:00:00 to the fields. Days past the end of a month run on into the
// next month.
long long wallSeconds(const LocalDateTime& t);
// later - earlier, in wall-clock seconds.
long long wallDifference(const LocalDateTime& later, const LocalDateTime& earlier);
// The fields with the weekday their date falls on (1 = Sunday .. 7 = Saturday).
LocalDateTime withWeekday(LocalDateTime t);

}  // namespace quirn
