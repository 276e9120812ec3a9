#pragma once
#include <string>
#include <vector>

#include "calendar/CalendarCanvas.h"

namespace quirn::calendar::test {

// A canvas that writes down every drawing call, with fixed text metrics: each character is
// `charWidth` wide and every text `charHeight` high.
class RecordingCanvas final : public CalendarCanvas {
  public:
    enum class Kind { FillWhite, Line, Polyline, FrameRect, FrameEllipse, Invert, Text };
    struct Op {
        Kind kind;
        Rect rect{};                // FillWhite, FrameRect, FrameEllipse, Invert
        std::vector<Point> points;  // Line (two), Polyline; Text: its centre-top point
        std::string text;
    };

    RecordingCanvas(int charWidth = 7, int charHeight = 11)
        : charWidth_(charWidth), charHeight_(charHeight) {}

    TextSize textSize(std::string_view text) const override {
        return {static_cast<int>(text.size()) * charWidth_, charHeight_};
    }
    void fillWhite(const Rect& r) override { ops.push_back({Kind::FillWhite, r, {}, {}}); }
    void line(Point from, Point to) override { ops.push_back({Kind::Line, {}, {from, to}, {}}); }
    void polyline(std::span<const Point> points) override {
        ops.push_back({Kind::Polyline, {}, {points.begin(), points.end()}, {}});
    }
    void frameRect(const Rect& r) override { ops.push_back({Kind::FrameRect, r, {}, {}}); }
    void frameEllipse(const Rect& r) override { ops.push_back({Kind::FrameEllipse, r, {}, {}}); }
    void invert(const Rect& r) override { ops.push_back({Kind::Invert, r, {}, {}}); }
    void textCentredTop(int centreX, int top, std::string_view text) override {
        ops.push_back({Kind::Text, {}, {{centreX, top}}, std::string(text)});
    }

    std::vector<Op> ops;

  private:
    int charWidth_;
    int charHeight_;
};

}  // namespace quirn::calendar::test
