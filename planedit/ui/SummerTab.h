#pragma once
#include <QWidget>

class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QTableWidget;

namespace quirn {

class PlansWindow;

// "Summer plans": the agency's summer school plans (not one group's), each with its name, its
// first and last day, the locations it switches and its daily ON/OFF times. Locations are
// added from the tree's pick.
class SummerTab final : public QWidget {
    Q_OBJECT

  public:
    SummerTab(PlansWindow& window, QWidget* parent);
    void redraw();

  private:
    QWidget* buildPlanColumn();
    QWidget* buildDetails();
    int pickedIndex() const;
    void drawPlan();
    void tell(const std::string& refusal);
    void addPlan();
    void renamePlan();
    void removePlan();
    void setDates();
    void addPickedLocation();
    void removeLocation();
    void addStep();
    void removeStep();

    PlansWindow& window_;
    bool drawing_ = false;
    QListWidget* plans_ = nullptr;
    QLineEdit* newName_ = nullptr;
    QWidget* details_ = nullptr;
    QLineEdit* name_ = nullptr;
    QDateEdit* start_ = nullptr;
    QDateEdit* end_ = nullptr;
    QListWidget* locations_ = nullptr;
    QTableWidget* steps_ = nullptr;
    QLineEdit* onTime_ = nullptr;
    QLineEdit* offTime_ = nullptr;
    QLabel* problem_ = nullptr;
};

}  // namespace quirn
