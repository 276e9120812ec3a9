#pragma once

namespace quirn::calendar {

// Device units, y growing downwards.
struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A rectangle as the window system gives one: right and bottom lie just outside it.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Width and height of a text in the current font.
struct TextSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const TextSize&, const TextSize&) = default;
};

}  // namespace quirn::calendar
