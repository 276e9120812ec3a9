#include "planedit/ui/WeeksTab.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "planedit/ui/PlansWindow.h"
#include "planedit/ui/PlansWindowTexts.h"
#include "planedit/ui/WeekPlanPicker.h"
#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"

namespace quirn {

namespace {
constexpr const char* kEndFormat = "%A, %B %d, %Y %H:%M";

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}
}  // namespace

WeeksTab::WeeksTab(PlansWindow& window, QWidget* parent) : QWidget(parent), window_(window) {
    setObjectName("weeksTab");
    auto* layout = new QVBoxLayout(this);
    title_ = new QLabel(this);
    title_->setObjectName("weeksTitle");
    layout->addWidget(title_);

    auto* defaults = new QGroupBox("Default week", this);
    auto* defaultsLayout = new QVBoxLayout(defaults);
    defaultWeek_ = new WeekPlanPicker("default", defaults);
    defaultsLayout->addWidget(defaultWeek_);
    layout->addWidget(defaults);

    auto* special = new QGroupBox("Special week plan for the rest of this week", this);
    auto* specialLayout = new QVBoxLayout(special);
    auto* scopeRow = new QHBoxLayout;
    scope_ = new QComboBox(special);
    scope_->setObjectName("specialScope");
    scopeRow->addWidget(new QLabel("For", special));
    scopeRow->addWidget(scope_, 1);
    specialLayout->addLayout(scopeRow);
    specialWeek_ = new WeekPlanPicker("special", special);
    specialLayout->addWidget(specialWeek_);
    auto* buttons = new QHBoxLayout;
    auto* set = new QPushButton("Set special week", special);
    set->setObjectName("setSpecialWeek");
    auto* clear = new QPushButton("Clear special week", special);
    clear->setObjectName("clearSpecialWeek");
    buttons->addWidget(set);
    buttons->addWidget(clear);
    buttons->addStretch(1);
    specialLayout->addLayout(buttons);
    specialState_ = new QLabel(special);
    specialState_->setObjectName("specialState");
    specialState_->setWordWrap(true);
    specialLayout->addWidget(specialState_);
    layout->addWidget(special);
    problem_ = new QLabel(this);
    problem_->setObjectName("weeksProblem");
    problem_->setWordWrap(true);
    layout->addWidget(problem_);
    layout->addStretch(1);

    defaultWeek_->setPicked([this](int weekday, int plan) {
        const std::optional<GroupKey> group = window_.pickedGroup();
        if (!group) return;
        const EditOutcome outcome = window_.editor().setDefaultDay(*group, weekday, plan);
        problem_->setText(qt(outcome.refusal));
        if (!outcome) redraw();  // the picker shows the stored day again
    });
    connect(set, &QPushButton::clicked, this, &WeeksTab::setSpecial);
    connect(clear, &QPushButton::clicked, this, &WeeksTab::clearSpecial);
}

void WeeksTab::redraw() {
    const std::optional<GroupKey> key = window_.pickedGroup();
    const PlanDatabase& db = window_.services().database;
    const Group* group = key ? db.findGroup(key->masterGroup, key->group) : nullptr;
    setEnabled(group != nullptr);
    if (group == nullptr) {
        title_->setText(plans_text::kPickAGroup);
        return;
    }
    title_->setText(qt(group->title(window_.editor().hasMasterGroups())));
    defaultWeek_->show(*group, group->defaultWeek());
    const int keepScope = scope_->currentIndex() >= 0 ? scope_->currentData().toInt() : 0;
    {
        const QSignalBlocker quiet(scope_);
        scope_->clear();
        scope_->addItem("The whole group", 0);
        for (const auto& l : group->locations())
            scope_->addItem(QString("%1  %2").arg(l->number).arg(qt(l->name)), l->number);
        const int at = scope_->findData(keepScope);
        scope_->setCurrentIndex(at < 0 ? 0 : at);
    }
    drawSpecial();
}

void WeeksTab::drawSpecial() {
    const std::optional<GroupKey> key = window_.pickedGroup();
    const PlanDatabase& db = window_.services().database;
    const Group* group = key ? db.findGroup(key->masterGroup, key->group) : nullptr;
    if (group == nullptr) return;
    const SpecialWeekPlan* plan = db.specialWeekPlanOf(key->masterGroup, key->group);
    if (plan != nullptr && db.specialWeekInForce()) {
        specialWeek_->show(*group, plan->days);
        const std::string whom =
            plan->location == 0 ? "the whole group" : "location " + std::to_string(plan->location);
        specialState_->setText(qt("In force for " + whom + " until " +
                                  formatLocal(kEndFormat, db.specialWeekEnd()) + "."));
        const QSignalBlocker quiet(scope_);
        const int at = scope_->findData(plan->location);
        if (at >= 0) scope_->setCurrentIndex(at);
    } else {
        specialWeek_->show(*group, group->defaultWeek());
        specialState_->setText("No special week plan is in force for this group.");
    }
}

void WeeksTab::setSpecial() {
    const std::optional<GroupKey> group = window_.pickedGroup();
    if (!group) return;
    const EditOutcome outcome = window_.editor().setSpecialWeek(
        *group, scope_->currentData().toInt(), specialWeek_->week());
    problem_->setText(qt(outcome.refusal));
}

void WeeksTab::clearSpecial() {
    const std::optional<GroupKey> group = window_.pickedGroup();
    if (!group) return;
    problem_->setText(qt(window_.editor().clearSpecialWeek(*group).refusal));
}

}  // namespace quirn
