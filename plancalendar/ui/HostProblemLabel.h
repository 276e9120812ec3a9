#pragma once
#include <QString>

class QLabel;
class QWidget;

namespace quirn::plancalendar {

// The text shown where the calendar would be when the control cannot be made: what went wrong
// and what the technician can do about it, selectable so it can be copied into a report.
QLabel* makeHostProblemLabel(const QString& text, QWidget* parent);

}  // namespace quirn::plancalendar
