#include "planedit/ui/SummerTab.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "planedit/PlanFieldRules.h"
#include "planedit/ui/FieldRuleValidator.h"
#include "planedit/ui/PlansWindow.h"
#include "plans/PlanDatabase.h"
#include "plans/SummerPlanStore.h"
#include "platform/LocalTime.h"

namespace quirn {

namespace {
constexpr const char* kDateFormat = "yyyy-MM-dd";
constexpr int kTimeFieldWidth = 70;

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

QDate dateOf(std::time_t t) {
    if (isNever(t)) return {};
    const LocalDateTime local = toLocal(t);
    return QDate(local.year, local.month, local.day);
}

CalendarDay dayOf(const QDate& date) {
    return CalendarDay{date.year(), date.month(), date.day()};
}

QPushButton* button(const char* text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

QLineEdit* timeField(const char* name, QLabel* problem, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setPlaceholderText("HH:MM");
    field->setFixedWidth(kTimeFieldWidth);
    guardField(
        field, [](std::string_view t) { return checkStepTime(t); }, problem);
    return field;
}
}  // namespace

SummerTab::SummerTab(PlansWindow& window, QWidget* parent) : QWidget(parent), window_(window) {
    setObjectName("summerTab");
    auto* layout = new QVBoxLayout(this);
    auto* columns = new QHBoxLayout;
    problem_ = new QLabel(this);
    problem_->setObjectName("summerProblem");
    problem_->setWordWrap(true);
    columns->addWidget(buildPlanColumn(), 1);
    columns->addWidget(buildDetails(), 2);
    layout->addLayout(columns, 1);
    layout->addWidget(problem_);
}

QWidget* SummerTab::buildPlanColumn() {
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    plans_ = new QListWidget(column);
    plans_->setObjectName("summerPlans");
    layout->addWidget(plans_, 1);
    newName_ = new QLineEdit(column);
    newName_->setObjectName("newSummerName");
    newName_->setPlaceholderText("name of a new summer plan");
    guardField(
        newName_, [](std::string_view t) { return checkSummerPlanName(t); }, problem_);
    layout->addWidget(newName_);
    auto* row = new QHBoxLayout;
    QPushButton* add = button("Add plan", "addSummerPlan", column);
    QPushButton* remove = button("Remove plan", "removeSummerPlan", column);
    row->addWidget(add);
    row->addWidget(remove);
    layout->addLayout(row);
    connect(plans_, &QListWidget::currentRowChanged, this, [this] {
        if (!drawing_) drawPlan();
    });
    connect(add, &QPushButton::clicked, this, &SummerTab::addPlan);
    connect(newName_, &QLineEdit::returnPressed, this, &SummerTab::addPlan);
    connect(remove, &QPushButton::clicked, this, &SummerTab::removePlan);
    return column;
}

QWidget* SummerTab::buildDetails() {
    details_ = new QWidget(this);
    auto* form = new QFormLayout(details_);
    form->setContentsMargins(0, 0, 0, 0);
    name_ = new QLineEdit(details_);
    name_->setObjectName("summerName");
    guardField(
        name_, [](std::string_view t) { return checkSummerPlanName(t); }, problem_);
    form->addRow("Name", name_);

    auto* dates = new QHBoxLayout;
    start_ = new QDateEdit(details_);
    start_->setObjectName("summerStart");
    end_ = new QDateEdit(details_);
    end_->setObjectName("summerEnd");
    for (QDateEdit* d : {start_, end_}) {
        d->setDisplayFormat(kDateFormat);
        d->setCalendarPopup(true);
    }
    dates->addWidget(start_);
    dates->addWidget(new QLabel("to", details_));
    dates->addWidget(end_);
    QPushButton* setDatesButton = button("Set dates", "setSummerDates", details_);
    dates->addWidget(setDatesButton);
    form->addRow("Dates", dates);

    locations_ = new QListWidget(details_);
    locations_->setObjectName("summerLocations");
    form->addRow("Locations", locations_);
    auto* locationButtons = new QHBoxLayout;
    QPushButton* addLocation =
        button("Add the location picked in the tree", "addSummerLocation", details_);
    QPushButton* removeLocationButton = button("Remove location", "removeSummerLocation", details_);
    locationButtons->addWidget(addLocation);
    locationButtons->addWidget(removeLocationButton);
    form->addRow("", locationButtons);

    steps_ = new QTableWidget(0, 2, details_);
    steps_->setObjectName("summerSteps");
    steps_->setHorizontalHeaderLabels({"ON", "OFF"});
    steps_->verticalHeader()->setVisible(false);
    steps_->horizontalHeader()->setStretchLastSection(true);
    steps_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    steps_->setSelectionBehavior(QAbstractItemView::SelectRows);
    form->addRow("Times", steps_);
    auto* stepRow = new QHBoxLayout;
    onTime_ = timeField("summerOn", problem_, details_);
    offTime_ = timeField("summerOff", problem_, details_);
    QPushButton* addStepButton = button("Add times", "addSummerStep", details_);
    QPushButton* removeStepButton = button("Remove times", "removeSummerStep", details_);
    stepRow->addWidget(new QLabel("ON", details_));
    stepRow->addWidget(onTime_);
    stepRow->addWidget(new QLabel("OFF", details_));
    stepRow->addWidget(offTime_);
    stepRow->addWidget(addStepButton);
    stepRow->addWidget(removeStepButton);
    stepRow->addStretch(1);
    form->addRow("", stepRow);

    connect(name_, &QLineEdit::editingFinished, this, &SummerTab::renamePlan);
    connect(setDatesButton, &QPushButton::clicked, this, &SummerTab::setDates);
    connect(addLocation, &QPushButton::clicked, this, &SummerTab::addPickedLocation);
    connect(removeLocationButton, &QPushButton::clicked, this, &SummerTab::removeLocation);
    connect(addStepButton, &QPushButton::clicked, this, &SummerTab::addStep);
    connect(removeStepButton, &QPushButton::clicked, this, &SummerTab::removeStep);
    return details_;
}

int SummerTab::pickedIndex() const {
    const int row = plans_->currentRow();
    const auto& plans = window_.services().summer.plans();
    return row >= 0 && row < static_cast<int>(plans.size()) ? row : -1;
}

void SummerTab::redraw() {
    const int keep = plans_->currentRow();
    drawing_ = true;
    plans_->clear();
    for (const SummerPlan& plan : window_.services().summer.plans()) plans_->addItem(qt(plan.name));
    if (plans_->count() > 0) plans_->setCurrentRow(keep >= 0 && keep < plans_->count() ? keep : 0);
    drawing_ = false;
    drawPlan();
}

void SummerTab::drawPlan() {
    const int index = pickedIndex();
    details_->setEnabled(index >= 0);
    locations_->clear();
    steps_->setRowCount(0);
    if (index < 0) {
        name_->clear();
        return;
    }
    const SummerPlan& plan = window_.services().summer.plans()[static_cast<size_t>(index)];
    const PlanDatabase& db = window_.services().database;
    name_->setText(qt(plan.name));
    const QDate start = dateOf(plan.startDate);
    const QDate end = dateOf(plan.endDate);
    start_->setDate(start.isValid() ? start : QDate(2000, 1, 1));
    end_->setDate(end.isValid() ? end : QDate(2000, 1, 1));
    for (const SummerLocation& l : plan.locations) {
        const Location* record = db.findLocation(l.masterGroup, l.group, l.location);
        std::string text = std::to_string(l.masterGroup) + ":" + std::to_string(l.group) + ":" +
                           std::to_string(l.location);
        if (record) text += "  " + record->name;
        locations_->addItem(qt(text));
    }
    steps_->setRowCount(static_cast<int>(plan.steps.size()));
    for (size_t i = 0; i < plan.steps.size(); ++i) {
        const SummerPlanStep& s = plan.steps[i];
        steps_->setItem(static_cast<int>(i), 0,
                        new QTableWidgetItem(qt(stepTimeText(s.onHour, s.onMinute))));
        steps_->setItem(static_cast<int>(i), 1,
                        new QTableWidgetItem(qt(stepTimeText(s.offHour, s.offMinute))));
    }
}

void SummerTab::tell(const std::string& refusal) {
    problem_->setText(qt(refusal));
}

void SummerTab::addPlan() {
    const EditOutcome outcome = window_.editor().addSummerPlan(newName_->text().toStdString());
    tell(outcome.refusal);
    if (!outcome) return;
    newName_->clear();
    plans_->setCurrentRow(outcome.number);
}

void SummerTab::renamePlan() {
    const int index = pickedIndex();
    if (index < 0) return;
    const std::string name = name_->text().toStdString();
    if (window_.services().summer.plans()[static_cast<size_t>(index)].name == name) return;
    tell(window_.editor().renameSummerPlan(index, name).refusal);
}

void SummerTab::removePlan() {
    const int index = pickedIndex();
    if (index >= 0) tell(window_.editor().removeSummerPlan(index).refusal);
}

void SummerTab::setDates() {
    const int index = pickedIndex();
    if (index < 0) return;
    tell(
        window_.editor().setSummerDates(index, dayOf(start_->date()), dayOf(end_->date())).refusal);
}

void SummerTab::addPickedLocation() {
    const int index = pickedIndex();
    const std::optional<PlanTreeModel::Node> node = window_.picked();
    if (index < 0) return;
    if (!node || node->kind != PlanTreeModel::Kind::Location) {
        tell("Pick a location in the tree on the left first.");
        return;
    }
    std::vector<LocationKey> keys;
    for (const SummerLocation& l :
         window_.services().summer.plans()[static_cast<size_t>(index)].locations)
        keys.push_back(LocationKey{l.masterGroup, l.group, l.location});
    keys.push_back(LocationKey{node->masterGroup, node->group, node->location});
    tell(window_.editor().setSummerLocations(index, keys).refusal);
}

void SummerTab::removeLocation() {
    const int index = pickedIndex();
    const int row = locations_->currentRow();
    if (index < 0 || row < 0) return;
    std::vector<LocationKey> keys;
    const auto& locations = window_.services().summer.plans()[static_cast<size_t>(index)].locations;
    for (size_t i = 0; i < locations.size(); ++i)
        if (static_cast<int>(i) != row)
            keys.push_back(
                LocationKey{locations[i].masterGroup, locations[i].group, locations[i].location});
    tell(window_.editor().setSummerLocations(index, keys).refusal);
}

void SummerTab::addStep() {
    const int index = pickedIndex();
    if (index < 0) return;
    const std::optional<ClockTime> on = parseStepTime(onTime_->text().toStdString());
    const std::optional<ClockTime> off = parseStepTime(offTime_->text().toStdString());
    if (!on || !off) {
        tell(checkStepTime((on ? offTime_ : onTime_)->text().toStdString()).problem);
        return;
    }
    std::vector<SummerPlanStep> steps =
        window_.services().summer.plans()[static_cast<size_t>(index)].steps;
    steps.push_back(SummerPlanStep{on->hour, on->minute, off->hour, off->minute});
    const EditOutcome outcome = window_.editor().setSummerSteps(index, steps);
    tell(outcome.refusal);
    if (!outcome) return;
    onTime_->clear();
    offTime_->clear();
}

void SummerTab::removeStep() {
    const int index = pickedIndex();
    const int row = steps_->currentRow();
    if (index < 0 || row < 0) return;
    std::vector<SummerPlanStep> steps =
        window_.services().summer.plans()[static_cast<size_t>(index)].steps;
    if (row >= static_cast<int>(steps.size())) return;
    steps.erase(steps.begin() + row);
    tell(window_.editor().setSummerSteps(index, steps).refusal);
}

}  // namespace quirn
