#pragma once
#include <QImage>
#include <QPoint>
#include <string>

#include "calendar/CalendarModel.h"

class QWidget;

namespace quirn::calendar::test {

// The widget tests' QApplication lives for the whole test program (a gtest environment makes
// it before the first test and deletes it after the last).

// Where a click on `day` of panel `panel` lands, from the model's last layout.
QPoint centreOfDay(const CalendarModel& model, int panel, int day);
// A point inside a marked cell that neither the mark's text nor its frame covers (in its left
// part, half-way down): black when the cell is inverted, white when not.
QPoint blankPointOfDay(const CalendarModel& model, int panel, int day);

// The widget as a PNG written into `folder` and read back, as a user's screenshot would be.
QImage grabThroughPng(QWidget& widget, const std::string& folder);

bool isBlack(QRgb pixel);
bool isWhite(QRgb pixel);

}  // namespace quirn::calendar::test
