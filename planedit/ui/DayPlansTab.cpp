#include "planedit/ui/DayPlansTab.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "planedit/PlanFieldRules.h"
#include "planedit/ui/FieldRuleValidator.h"
#include "planedit/ui/PlansWindow.h"
#include "planedit/ui/PlansWindowTexts.h"
#include "planedit/ui/StepListEditor.h"
#include "plans/PlanDatabase.h"

namespace quirn {

namespace {
constexpr int kPlanRole = Qt::UserRole;
constexpr int kFirstAddedPlan = 2;

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

std::vector<StepEntry> entriesOf(const DayPlan& plan) {
    std::vector<StepEntry> out;
    for (const Step& s : plan.steps())
        if (s.isProgrammed()) out.push_back(StepEntry{s.hour, s.minute, s.command});
    return out;
}
}  // namespace

DayPlansTab::DayPlansTab(PlansWindow& window, QWidget* parent) : QWidget(parent), window_(window) {
    setObjectName("dayPlansTab");
    auto* layout = new QVBoxLayout(this);
    title_ = new QLabel(this);
    title_->setObjectName("dayPlansTitle");
    layout->addWidget(title_);
    auto* columns = new QHBoxLayout;
    columns->addWidget(buildPlanColumn(), 1);
    steps_ = new StepListEditor(kMaxStepsPerDayPlan, "steps", this);
    columns->addWidget(steps_, 1);
    layout->addLayout(columns, 1);
    steps_->setEdit([this](const std::vector<StepEntry>& steps) -> std::string {
        const std::optional<GroupKey> group = window_.pickedGroup();
        const int plan = pickedPlan();
        if (!group || plan < 0) return "Pick a day plan first.";
        return window_.editor().setDayPlanSteps(*group, plan, steps).refusal;
    });
}

QWidget* DayPlansTab::buildPlanColumn() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    plans_ = new QListWidget(column);
    plans_->setObjectName("dayPlans");
    layout->addWidget(plans_, 1);
    auto* form = new QFormLayout;
    planName_ = new QLineEdit(column);
    planName_->setObjectName("planName");
    form->addRow("Name", planName_);
    layout->addLayout(form);
    removePlan_ = new QPushButton("Remove plan", column);
    removePlan_->setObjectName("removePlan");
    layout->addWidget(removePlan_);

    auto* addRow = new QHBoxLayout;
    newNumber_ = new QSpinBox(column);
    newNumber_->setObjectName("newPlanNumber");
    newNumber_->setRange(kFirstAddedPlan, kMaxStoredStepsPlan);
    newName_ = new QLineEdit(column);
    newName_->setObjectName("newPlanName");
    newName_->setPlaceholderText("name of a new plan");
    auto* add = new QPushButton("Add plan", column);
    add->setObjectName("addPlan");
    addRow->addWidget(newNumber_);
    addRow->addWidget(newName_, 1);
    addRow->addWidget(add);
    layout->addLayout(addRow);
    problem_ = new QLabel(column);
    problem_->setObjectName("dayPlanProblem");
    problem_->setWordWrap(true);
    layout->addWidget(problem_);

    auto nameRule = [](std::string_view t) { return checkRecordName(t, "day plan name"); };
    guardField(planName_, nameRule, problem_);
    guardField(newName_, nameRule, problem_);
    connect(plans_, &QListWidget::currentRowChanged, this, [this] {
        if (drawing_) return;
        problem_->clear();
        drawSteps();
    });
    connect(planName_, &QLineEdit::editingFinished, this, &DayPlansTab::renamePlan);
    connect(removePlan_, &QPushButton::clicked, this, &DayPlansTab::removePlan);
    connect(add, &QPushButton::clicked, this, &DayPlansTab::addPlan);
    connect(newName_, &QLineEdit::returnPressed, this, &DayPlansTab::addPlan);
    return column;
}

int DayPlansTab::pickedPlan() const {
    const QListWidgetItem* item = plans_->currentItem();
    return item ? item->data(kPlanRole).toInt() : -1;
}

void DayPlansTab::redraw() {
    const std::optional<GroupKey> key = window_.pickedGroup();
    const Group* group =
        key ? window_.services().database.findGroup(key->masterGroup, key->group) : nullptr;
    setEnabled(group != nullptr);
    drawing_ = true;
    const int keep = pickedPlan();
    plans_->clear();
    if (group == nullptr) {
        title_->setText(plans_text::kPickAGroup);
    } else {
        title_->setText(qt(group->title(window_.editor().hasMasterGroups())));
        // Plan 1 is the group's normal plan whether or not a record holds it yet.
        std::vector<int> numbers{kPlanNormal};
        for (const auto& plan : group->dayPlans())
            if (plan->plan() != kPlanNormal) numbers.push_back(plan->plan());
        std::sort(numbers.begin(), numbers.end());
        for (int number : numbers) {
            auto* item = new QListWidgetItem(
                QString("%1  %2").arg(number).arg(qt(group->planName(number))), plans_);
            item->setData(kPlanRole, number);
            if (number == keep) plans_->setCurrentItem(item);
        }
        if (plans_->currentItem() == nullptr) plans_->setCurrentRow(0);
        // The lowest plan number not used yet is offered for the next one.
        for (int n = kFirstAddedPlan; n <= kMaxStoredStepsPlan; ++n)
            if (group->findDayPlan(n) == nullptr) {
                newNumber_->setValue(n);
                break;
            }
    }
    drawing_ = false;
    drawSteps();
}

void DayPlansTab::drawSteps() {
    const std::optional<GroupKey> key = window_.pickedGroup();
    const Group* group =
        key ? window_.services().database.findGroup(key->masterGroup, key->group) : nullptr;
    const int plan = pickedPlan();
    if (group == nullptr || plan < 0) {
        steps_->show({});
        planName_->clear();
        return;
    }
    const DayPlan* dayPlan = group->findDayPlan(plan);
    steps_->show(dayPlan ? entriesOf(*dayPlan) : std::vector<StepEntry>{});
    planName_->setText(qt(group->planName(plan)));
    // "Normal" keeps its name and its place.
    planName_->setEnabled(plan != kPlanNormal);
    removePlan_->setEnabled(plan != kPlanNormal);
}

void DayPlansTab::addPlan() {
    const std::optional<GroupKey> group = window_.pickedGroup();
    if (!group) return;
    const int number = newNumber_->value();
    const EditOutcome outcome =
        window_.editor().addDayPlan(*group, number, newName_->text().toStdString());
    problem_->setText(qt(outcome.refusal));
    if (!outcome) return;
    newName_->clear();
    for (int i = 0; i < plans_->count(); ++i)
        if (plans_->item(i)->data(kPlanRole).toInt() == number) plans_->setCurrentRow(i);
}

void DayPlansTab::renamePlan() {
    const std::optional<GroupKey> key = window_.pickedGroup();
    const int plan = pickedPlan();
    if (!key || plan <= kPlanNormal) return;
    const Group* group = window_.services().database.findGroup(key->masterGroup, key->group);
    const std::string name = planName_->text().toStdString();
    if (group == nullptr || group->planName(plan) == name) return;
    problem_->setText(qt(window_.editor().renameDayPlan(*key, plan, name).refusal));
}

void DayPlansTab::removePlan() {
    const std::optional<GroupKey> group = window_.pickedGroup();
    const int plan = pickedPlan();
    if (!group || plan <= kPlanNormal) return;
    problem_->setText(qt(window_.editor().removeDayPlan(*group, plan).refusal));
}

}  // namespace quirn
