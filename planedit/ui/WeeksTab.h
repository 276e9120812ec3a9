#pragma once
#include <QWidget>

class QComboBox;
class QLabel;

namespace quirn {

class PlansWindow;
class WeekPlanPicker;

// "Weeks": the picked group's default week, and its special week plan for the rest of this
// week (for the whole group or one location), which can be set and cleared.
class WeeksTab final : public QWidget {
    Q_OBJECT

  public:
    WeeksTab(PlansWindow& window, QWidget* parent);
    void redraw();

  private:
    void drawSpecial();
    void setSpecial();
    void clearSpecial();

    PlansWindow& window_;
    QLabel* title_ = nullptr;
    WeekPlanPicker* defaultWeek_ = nullptr;
    QComboBox* scope_ = nullptr;
    WeekPlanPicker* specialWeek_ = nullptr;
    QLabel* specialState_ = nullptr;
    QLabel* problem_ = nullptr;
};

}  // namespace quirn
