#pragma once
#include <QWidget>
#include <array>
#include <functional>

#include "plans/WeekPlan.h"

class QComboBox;

namespace quirn {

class Group;

// Seven pickers, Sunday to Saturday, each offering the plans a week may name in a group:
// None, the group's day plans (Normal always) and Holiday. `picked` is told the weekday and
// plan of each pick the technician makes.
class WeekPlanPicker final : public QWidget {
    Q_OBJECT

  public:
    // Children are named `name` with the weekday number (1 Sunday .. 7 Saturday).
    WeekPlanPicker(const QString& name, QWidget* parent);

    void setPicked(std::function<void(int weekday, int plan)> picked) {
        picked_ = std::move(picked);
    }
    // Offers the group's plans and shows the week.
    void show(const Group& group, const WeekPlan& week);
    WeekPlan week() const;

  private:
    std::array<QComboBox*, 8> days_{};  // index 0 unused
    std::function<void(int, int)> picked_;
};

}  // namespace quirn
