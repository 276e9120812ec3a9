#pragma once
#include <ctime>
#include <string>
#include <vector>

#include "fleethealth/OffsetHistory.h"

namespace quirn {

// A point of the chart's drawing area, in pixels from its top left corner.
struct ChartPoint {
    double x = 0;
    double y = 0;
};

struct ChartTick {
    double position = 0;  // x for a time tick, y for an offset tick
    std::string label;
};

// Where everything of a clock offset chart goes in a drawing area of a given size: the reads
// as dots, each fit as a line, the validation's limits as two lines, and the axes' ticks. The
// window paints it with QPainter and the report writes it as SVG, so both show the same chart.
struct OffsetChartLayout {
    double left = 0, top = 0, right = 0, bottom = 0;  // the plot area inside the margins
    std::vector<ChartPoint> dots;
    std::vector<std::pair<ChartPoint, ChartPoint>> fitLines;
    double upperLimitY = 0;  // +limit
    double lowerLimitY = 0;  // -limit
    double zeroY = 0;
    std::vector<ChartTick> timeTicks;
    std::vector<ChartTick> offsetTicks;
    bool empty = true;  // nothing to draw but the frame
};

// Lays out the history in a width x height area. The offset range always holds the limits
// (±kWrongClockSeconds) so that a healthy clock looks healthy; times span the points and fits.
OffsetChartLayout layoutOffsetChart(const LocationOffsetHistory& history, double width,
                                    double height);

}  // namespace quirn
