#include <gtest/gtest.h>

#include "calendar/CalendarModel.h"
#include "calendar/view/CellLooks.h"
#include "platform/LocalTime.h"
#include "tests/support/TempFolder.h"

namespace quirn::vorncal {
namespace {

constexpr int kWidth = 720;
constexpr int kHeight = 840;
const calendar::TextSize kX{6, 10};

// A white picture and the control's layout on it, to draw marks' pixels by hand.
struct Canvas {
    Picture picture;
    calendar::DisplayState display;
    calendar::CalendarModel model;
    std::time_t today;

    Canvas() : model(fromLocal(2026, 12, 9, 12), display), today(fromLocal(2026, 12, 9, 12)) {
        picture.width = kWidth;
        picture.height = kHeight;
        picture.rgb.assign(static_cast<size_t>(kWidth) * kHeight * 3, 0xFF);
        model.layout({0, 0, kWidth, kHeight}, kX);
    }
    void black(int x, int y) {
        const size_t at = (static_cast<size_t>(y) * kWidth + x) * 3;
        picture.rgb[at] = picture.rgb[at + 1] = picture.rgb[at + 2] = 0;
    }
    calendar::Rect cell(int year, int month, int day) const {
        for (const calendar::MonthPanel& p : model.panels())
            if (p.month() == calendar::YearMonth{year, month}) return p.cellRect(*p.findDay(day));
        return {};
    }
    const calendar::MonthPanel& panelOf(int index) const { return model.panel(index); }
    // The looks that are not plain, as "YYYY-MM-DD look" lines.
    std::vector<std::string> marked() const {
        std::vector<std::string> out;
        for (const DayLook& d : dayLooks(picture, today, kX))
            if (d.look != CellLook::Plain)
                out.push_back(std::to_string(d.year) + "-" + std::to_string(d.month) + "-" +
                              std::to_string(d.day) + " " + cellLookName(d.look));
        return out;
    }
};

TEST(CellLooks, EachMarkIsFoundInItsOwnCellOnly) {
    Canvas c;
    const calendar::Rect box = c.cell(2027, 1, 18);
    for (int x = box.left; x < box.right; ++x) c.black(x, box.top), c.black(x, box.bottom - 1);
    for (int y = box.top; y < box.bottom; ++y) c.black(box.left, y), c.black(box.right - 1, y);
    const calendar::Rect inverted = c.cell(2026, 12, 14);
    for (int y = inverted.top; y < inverted.bottom; ++y)
        for (int x = inverted.left; x < inverted.right; ++x) c.black(x, y);
    const calendar::Rect open = c.cell(2027, 2, 17);
    for (int y = open.top + 2; y < open.bottom - 2; ++y) c.black(open.left, y);
    for (int x = open.left; x < open.left + open.width() / 2; ++x) c.black(x, open.top + 1);
    const calendar::Rect circled = c.cell(2027, 3, 19);
    const int centre = (circled.left + circled.right) / 2;
    const int halfRow = c.panelOf(3).grid().rowHeight / 2;
    c.black(centre, circled.top - halfRow);
    c.black(centre, circled.bottom + halfRow - 1);
    EXPECT_EQ(c.marked(),
              (std::vector<std::string>{"2026-12-14 inverted", "2027-1-18 boxed",
                                        "2027-2-17 opening bracket", "2027-3-19 circled"}));
}

TEST(CellLooks, GlyphsInsideACellAreNoMark) {
    Canvas c;
    const calendar::Rect r = c.cell(2027, 5, 26);
    // A bold "8"-sized blot in the middle, as a day number or a plan number would be.
    for (int y = r.top + 3; y < r.top + 12; ++y)
        for (int x = (r.left + r.right) / 2 - 4; x < (r.left + r.right) / 2 + 4; ++x) c.black(x, y);
    EXPECT_TRUE(c.marked().empty());
}

TEST(Picture, PpmRoundTrip) {
    test::TempFolder folder;
    Picture p;
    p.width = 3;
    p.height = 2;
    p.rgb = {0, 0, 0, 255, 255, 255, 10, 20, 30, 200, 100, 50, 0, 255, 0, 1, 2, 3};
    ASSERT_TRUE(writePpm(folder.file("p.ppm"), p));
    std::optional<Picture> back = readPpm(folder.file("p.ppm"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width, 3);
    EXPECT_EQ(back->height, 2);
    EXPECT_EQ(back->rgb, p.rgb);
    EXPECT_TRUE(back->dark(0, 0));
    EXPECT_FALSE(back->dark(1, 0));
    EXPECT_FALSE(back->dark(5, 5));
    ASSERT_TRUE(test::writeFile(folder.file("short.ppm"), "P6\n3 2\n255\nabc"));
    EXPECT_FALSE(readPpm(folder.file("short.ppm")));
    EXPECT_FALSE(readPpm(folder.file("missing.ppm")));
}

}  // namespace
}  // namespace quirn::vorncal
