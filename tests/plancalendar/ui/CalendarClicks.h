#pragma once
#include <QPoint>
#include <QWidget>
#include <ctime>
#include <optional>

namespace quirn::plancalendar::test {

// Where a technician clicks for a day on the control's window (the middle of its cell), laid
// out as the control lays itself out on `today`; nothing when the day is not shown.
std::optional<QPoint> dayPoint(const QWidget& control, std::time_t today, int year, int month,
                               int day);
// A point in the day's cell beside its text and frame: black when the cell is inverted.
std::optional<QPoint> blankPoint(const QWidget& control, std::time_t today, int year, int month,
                                 int day);

// Presses on one day and releases on another, as the mouse does.
void pressAndRelease(QWidget& control, QPoint press, QPoint release);
void clickAt(QWidget& control, QPoint at);

// A window's picture as the user would see it, saved to QUIRN_SCREENSHOT_DIR/name when that
// variable names a folder (the documentation's pictures).
void saveScreenshotIfAsked(QWidget& window, const char* name);

}  // namespace quirn::plancalendar::test
