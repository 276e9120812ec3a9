#pragma once
#include <QDialog>

#include "planedit/GroupKey.h"

class QLabel;
class QListWidget;

namespace quirn {

class PlansWindow;

// "Copy programming to…": the other groups of the agency, each with a box to tick; "Copy"
// gives every ticked group the picked group's day plans, weeks and dated plans as one step
// that Undo takes back (a district's schools share bell times).
class CopyProgrammingDialog final : public QDialog {
    Q_OBJECT

  public:
    CopyProgrammingDialog(PlansWindow& window, GroupKey from, QWidget* parent);

  private:
    void copy();

    PlansWindow& window_;
    const GroupKey from_;
    QListWidget* targets_ = nullptr;
    QLabel* problem_ = nullptr;
};

}  // namespace quirn
