#pragma once
#include <QWidget>
#include <string>
#include <vector>

#include "planedit/PlanEditTypes.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace quirn {

class PlansWindow;
class StepListEditor;

// "Today's override": the steps that replace the picked group's programming for the rest of
// today (for the whole group or one location), whether it is paged at the scheduler's next
// tick, and clearing it.
class OverrideTab final : public QWidget {
    Q_OBJECT

  public:
    OverrideTab(PlansWindow& window, QWidget* parent);
    void redraw();

  private:
    std::string store(const std::vector<StepEntry>& steps);
    void clear();

    PlansWindow& window_;
    QLabel* title_ = nullptr;
    QComboBox* scope_ = nullptr;
    QCheckBox* enabled_ = nullptr;
    StepListEditor* steps_ = nullptr;
    QLabel* problem_ = nullptr;
};

}  // namespace quirn
