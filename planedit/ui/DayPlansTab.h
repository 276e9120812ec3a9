#pragma once
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace quirn {

class PlansWindow;
class StepListEditor;

// "Day plans": the picked group's day plans by number and name, and the steps of the plan
// picked in that list (HH:MM, ON or OFF, at most 16, in the order the plan keeps them: by time
// of day). Plans can be added, renamed and removed; plan 1 ("Normal") always stays.
class DayPlansTab final : public QWidget {
    Q_OBJECT

  public:
    DayPlansTab(PlansWindow& window, QWidget* parent);
    void redraw();

  private:
    QWidget* buildPlanColumn();
    int pickedPlan() const;
    void drawSteps();
    void addPlan();
    void renamePlan();
    void removePlan();

    PlansWindow& window_;
    bool drawing_ = false;
    QLabel* title_ = nullptr;
    QListWidget* plans_ = nullptr;
    QLineEdit* planName_ = nullptr;
    QPushButton* removePlan_ = nullptr;
    QSpinBox* newNumber_ = nullptr;
    QLineEdit* newName_ = nullptr;
    QLabel* problem_ = nullptr;
    StepListEditor* steps_ = nullptr;
};

}  // namespace quirn
