#pragma once
#include <ctime>
#include <string>
#include <vector>

#include "calendar/Geometry.h"
#include "calendar/view/Picture.h"

namespace quirn::vorncal {

// How a day's cell looks in a picture of the control, judged from the pixels the marks own (the
// cell's edges, its inside taken as a whole, the top and bottom of a circle around it), never
// from the glyphs, so that two renderings with different fonts compare equal when their marks
// lie in the same cells.
enum class CellLook { Plain, Inverted, Boxed, OpeningBracket, ClosingBracket, Circled };

const char* cellLookName(CellLook look);

struct DayLook {
    int year = 0;
    int month = 0;
    int day = 0;
    CellLook look = CellLook::Plain;
};

// Every day cell of the fifteen months the control shows on `today`, laid out for the whole
// picture with a painting font whose "X" measures `x`, and how each looks.
std::vector<DayLook> dayLooks(const Picture& picture, std::time_t today, calendar::TextSize x);

}  // namespace quirn::vorncal
