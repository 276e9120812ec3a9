#include "planedit/ui/WeekPlanPicker.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <algorithm>
#include <vector>

#include "plans/Group.h"
#include "platform/LocalTime.h"

namespace quirn {

WeekPlanPicker::WeekPlanPicker(const QString& name, QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int d = kSunday; d <= kSaturday; ++d) {
        auto* box = new QComboBox(this);
        box->setObjectName(name + QString::number(d));
        grid->addWidget(new QLabel(weekdayName(d), this), 0, d - 1);
        grid->addWidget(box, 1, d - 1);
        days_[static_cast<size_t>(d)] = box;
        connect(box, &QComboBox::activated, this, [this, d, box] {
            if (picked_) picked_(d, box->currentData().toInt());
        });
    }
}

void WeekPlanPicker::show(const Group& group, const WeekPlan& week) {
    std::vector<int> plans{kPlanNone, kPlanNormal};
    for (const auto& p : group.dayPlans())
        if (p->plan() != kPlanNormal && p->plan() != kPlanNone) plans.push_back(p->plan());
    std::sort(plans.begin() + 2, plans.end());
    plans.push_back(kPlanHoliday);
    for (int d = kSunday; d <= kSaturday; ++d) {
        QComboBox* box = days_[static_cast<size_t>(d)];
        const QSignalBlocker quiet(box);
        box->clear();
        for (int plan : plans)
            box->addItem(QString::fromStdString(group.dayPlanListName(plan)), plan);
        int at = box->findData(week.day(d));
        if (at < 0) {
            // A week naming a plan the group lacks shows it as it is, so nothing is hidden.
            box->addItem(QString::fromStdString(group.dayPlanListName(week.day(d))), week.day(d));
            at = box->count() - 1;
        }
        box->setCurrentIndex(at);
    }
}

WeekPlan WeekPlanPicker::week() const {
    WeekPlan w;
    for (int d = kSunday; d <= kSaturday; ++d)
        w.setDay(d, days_[static_cast<size_t>(d)]->currentData().toInt());
    return w;
}

}  // namespace quirn
