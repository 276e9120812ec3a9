#pragma once
#include <QWidget>

#include "calendar/ControlTexts.h"

// The control's only property page, "General". The control persists no properties, so the page
// holds a placeholder text and nothing to edit.
class CVornCalendarIIIPropPage : public QWidget {
    Q_OBJECT

  public:
    explicit CVornCalendarIIIPropPage(QWidget* parent = nullptr);
};
