#include "fleethealth/OffsetChartLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "fleethealth/ClockDrift.h"
#include "fleethealth/FleetFilter.h"
#include "platform/LocalTime.h"

namespace quirn {

namespace {
constexpr double kMarginLeft = 60;
constexpr double kMarginRight = 28;  // room for half the last date
constexpr double kMarginTop = 10;
constexpr double kMarginBottom = 24;
constexpr double kHeadroom = 1.15;  // room above the largest offset
constexpr int kTimeTickCount = 5;
constexpr int kOffsetTickCount = 5;  // -max, -max/2, 0, +max/2, +max
constexpr std::time_t kOneDay = 24 * 60 * 60;
// Spans longer than this label their ticks with the month, shorter ones with the day.
constexpr double kMonthLabelDays = 120;

std::string tickDate(std::time_t t, bool byMonth) {
    const LocalDateTime l = toLocal(t);
    char text[16];
    if (byMonth)
        std::snprintf(text, sizeof text, "%04d-%02d", l.year, l.month);
    else
        std::snprintf(text, sizeof text, "%02d-%02d", l.month, l.day);
    return text;
}

std::string tickSeconds(double s) {
    char text[24];
    if (std::fabs(s) < 0.5) return "0 s";
    std::snprintf(text, sizeof text, "%+.0f s", s);
    return text;
}
}  // namespace

OffsetChartLayout layoutOffsetChart(const LocationOffsetHistory& history, double width,
                                    double height) {
    OffsetChartLayout c;
    c.left = kMarginLeft;
    c.top = kMarginTop;
    c.right = std::max(c.left + 1, width - kMarginRight);
    c.bottom = std::max(c.top + 1, height - kMarginBottom);

    std::time_t t0 = 0, t1 = 0;
    double ymax = kWrongClockSeconds;
    bool any = false;
    auto take = [&](std::time_t t, double y) {
        t0 = any ? std::min(t0, t) : t;
        t1 = any ? std::max(t1, t) : t;
        ymax = std::max(ymax, std::fabs(y));
        any = true;
    };
    for (const OffsetPoint& p : history.points) take(p.at, p.offsetSeconds);
    for (const DriftLine& f : history.fits) {
        take(f.from, f.offsetAtFrom);
        take(f.to, f.offsetAt(f.to));
    }
    c.empty = !any;
    if (!any) t1 = t0 + kOneDay;
    if (t1 == t0) {
        t0 -= kOneDay;
        t1 += kOneDay;
    }
    ymax *= kHeadroom;

    const double plotW = c.right - c.left;
    const double plotH = c.bottom - c.top;
    auto x = [&](std::time_t t) {
        return c.left + plotW * static_cast<double>(t - t0) / static_cast<double>(t1 - t0);
    };
    auto y = [&](double s) { return c.top + plotH * (ymax - s) / (2 * ymax); };

    for (const OffsetPoint& p : history.points) c.dots.push_back({x(p.at), y(p.offsetSeconds)});
    for (const DriftLine& f : history.fits)
        c.fitLines.push_back({{x(f.from), y(f.offsetAtFrom)}, {x(f.to), y(f.offsetAt(f.to))}});
    c.upperLimitY = y(kWrongClockSeconds);
    c.lowerLimitY = y(-kWrongClockSeconds);
    c.zeroY = y(0);

    const bool byMonth = static_cast<double>(t1 - t0) / kSecondsPerDay > kMonthLabelDays;
    for (int i = 0; i < kTimeTickCount; ++i) {
        const std::time_t t = t0 + (t1 - t0) * i / (kTimeTickCount - 1);
        c.timeTicks.push_back({x(t), tickDate(t, byMonth)});
    }
    for (int i = 0; i < kOffsetTickCount; ++i) {
        const double s = ymax - 2 * ymax * i / (kOffsetTickCount - 1);
        c.offsetTicks.push_back({y(s), tickSeconds(s)});
    }
    return c;
}

}  // namespace quirn
