#include "fleethealth/OffsetChartSvg.h"

#include <cstdio>

#include "fleethealth/OffsetChartLayout.h"

namespace quirn {

namespace {
// The same colours as the window's chart.
constexpr const char* kDotColor = "#005ac8";
constexpr const char* kFitColor = "#dc3c1e";
constexpr const char* kLimitColor = "#969696";
constexpr double kDotRadius = 2.5;
constexpr double kLabelGap = 4;
constexpr double kLabelBaseline = 14;
constexpr double kHalfAscent = 4;

std::string num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

std::string line(double x1, double y1, double x2, double y2, const std::string& style) {
    return "<line x1=\"" + num(x1) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x2) + "\" y2=\"" +
           num(y2) + "\" " + style + "/>";
}
}  // namespace

std::string offsetChartSvg(const LocationOffsetHistory& history, int width, int height) {
    const OffsetChartLayout c = layoutOffsetChart(history, width, height);
    std::string s = "<svg xmlns=\"http://www.w3.org/2000/svg\" class=\"chart\" width=\"" +
                    std::to_string(width) + "\" height=\"" + std::to_string(height) +
                    "\" viewBox=\"0 0 " + std::to_string(width) + " " + std::to_string(height) +
                    "\" font-size=\"10\" font-family=\"sans-serif\">";
    s += "<rect x=\"" + num(c.left) + "\" y=\"" + num(c.top) + "\" width=\"" +
         num(c.right - c.left) + "\" height=\"" + num(c.bottom - c.top) +
         "\" fill=\"white\" stroke=\"black\"/>";
    const std::string dashed =
        std::string("stroke=\"") + kLimitColor + "\" stroke-dasharray=\"4 3\"";
    s += line(c.left, c.upperLimitY, c.right, c.upperLimitY, dashed);
    s += line(c.left, c.lowerLimitY, c.right, c.lowerLimitY, dashed);
    s += line(c.left, c.zeroY, c.right, c.zeroY,
              std::string("stroke=\"") + kLimitColor + "\" stroke-dasharray=\"1 2\"");
    for (const ChartTick& t : c.offsetTicks)
        s += "<text x=\"" + num(c.left - kLabelGap) + "\" y=\"" + num(t.position + kHalfAscent) +
             "\" text-anchor=\"end\">" + t.label + "</text>";
    for (const ChartTick& t : c.timeTicks)
        s += "<text x=\"" + num(t.position) + "\" y=\"" + num(c.bottom + kLabelBaseline) +
             "\" text-anchor=\"middle\">" + t.label + "</text>";
    for (const auto& [a, b] : c.fitLines)
        s += line(a.x, a.y, b.x, b.y,
                  std::string("stroke=\"") + kFitColor + "\" stroke-width=\"2\"");
    for (const ChartPoint& d : c.dots)
        s += "<circle class=\"read\" cx=\"" + num(d.x) + "\" cy=\"" + num(d.y) + "\" r=\"" +
             num(kDotRadius) + "\" fill=\"" + kDotColor + "\"/>";
    if (c.empty)
        s += "<text x=\"" + num((c.left + c.right) / 2) + "\" y=\"" + num((c.top + c.bottom) / 2) +
             "\" text-anchor=\"middle\">No clock readings in the history</text>";
    s += "</svg>";
    return s;
}

}  // namespace quirn
