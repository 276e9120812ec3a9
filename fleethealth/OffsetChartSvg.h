#pragma once
#include <string>

#include "fleethealth/OffsetHistory.h"

namespace quirn {

// The clock offset chart of one location as an inline SVG element of width x height pixels,
// laid out as the window paints it: a dot per read, a line per fit, the limits dashed.
std::string offsetChartSvg(const LocationOffsetHistory& history, int width, int height);

}  // namespace quirn
