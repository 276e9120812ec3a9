#pragma once
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QStackedWidget;

namespace quirn {

class LocationForm;
class PlansWindow;

// "Groups and locations": the picked group's name and number, or the picked location's fields
// (LocationForm), "Copy programming to…", and a row to add a new group.
class GroupsTab final : public QWidget {
    Q_OBJECT

  public:
    GroupsTab(PlansWindow& window, QWidget* parent);
    void redraw();

  private:
    QWidget* buildGroupPage();
    QWidget* buildNewGroupRow();
    void renameGroup();
    void addGroup();
    void copyProgramming();
    void proposeNewGroupNumber();

    PlansWindow& window_;
    QStackedWidget* pages_ = nullptr;
    QLabel* pickHint_ = nullptr;
    QLabel* groupTitle_ = nullptr;
    QLineEdit* groupName_ = nullptr;
    QLabel* groupProblem_ = nullptr;
    QPushButton* copy_ = nullptr;
    LocationForm* location_ = nullptr;
    QSpinBox* newMasterGroup_ = nullptr;
    QSpinBox* newNumber_ = nullptr;
    QLineEdit* newName_ = nullptr;
    QLabel* newProblem_ = nullptr;
};

}  // namespace quirn
