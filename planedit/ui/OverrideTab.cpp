#include "planedit/ui/OverrideTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "planedit/ui/PlansWindow.h"
#include "planedit/ui/PlansWindowTexts.h"
#include "planedit/ui/StepListEditor.h"
#include "plans/OverrideStore.h"
#include "plans/PlanDatabase.h"

namespace quirn {

namespace {
// An override holds at most as many steps as a day plan.
constexpr int kOverrideStepLimit = kMaxStepsPerDayPlan;

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}
}  // namespace

OverrideTab::OverrideTab(PlansWindow& window, QWidget* parent) : QWidget(parent), window_(window) {
    setObjectName("overrideTab");
    auto* layout = new QVBoxLayout(this);
    title_ = new QLabel(this);
    title_->setObjectName("overrideTitle");
    layout->addWidget(title_);
    auto* scopeRow = new QHBoxLayout;
    scope_ = new QComboBox(this);
    scope_->setObjectName("overrideScope");
    scopeRow->addWidget(new QLabel("For", this));
    scopeRow->addWidget(scope_, 1);
    layout->addLayout(scopeRow);
    enabled_ = new QCheckBox("Send it to the time switches (at the scheduler's next tick)", this);
    enabled_->setObjectName("overrideEnabled");
    layout->addWidget(enabled_);
    steps_ = new StepListEditor(kOverrideStepLimit, "overrideSteps", this);
    layout->addWidget(steps_, 1);
    auto* clearButton = new QPushButton("Clear today's override", this);
    clearButton->setObjectName("clearOverride");
    auto* row = new QHBoxLayout;
    row->addWidget(clearButton);
    row->addStretch(1);
    layout->addLayout(row);
    problem_ = new QLabel(this);
    problem_->setObjectName("overrideProblem");
    problem_->setWordWrap(true);
    layout->addWidget(problem_);

    steps_->setEdit([this](const std::vector<StepEntry>& steps) { return store(steps); });
    connect(enabled_, &QCheckBox::clicked, this,
            [this] { problem_->setText(qt(store(steps_->steps()))); });
    connect(clearButton, &QPushButton::clicked, this, &OverrideTab::clear);
}

std::string OverrideTab::store(const std::vector<StepEntry>& steps) {
    const std::optional<GroupKey> group = window_.pickedGroup();
    if (!group) return plans_text::kPickAGroup;
    const EditOutcome outcome = window_.editor().setOverride(*group, scope_->currentData().toInt(),
                                                             steps, enabled_->isChecked());
    if (!outcome) redraw();
    return outcome.refusal;
}

void OverrideTab::clear() {
    const std::optional<GroupKey> group = window_.pickedGroup();
    if (!group) return;
    problem_->setText(qt(window_.editor().clearOverride(*group).refusal));
}

void OverrideTab::redraw() {
    const std::optional<GroupKey> key = window_.pickedGroup();
    const Group* group =
        key ? window_.services().database.findGroup(key->masterGroup, key->group) : nullptr;
    setEnabled(group != nullptr);
    if (group == nullptr) {
        title_->setText(plans_text::kPickAGroup);
        steps_->show({});
        return;
    }
    title_->setText(qt(group->title(window_.editor().hasMasterGroups())));
    const OverridePlan* plan = window_.services().overrides.find(key->masterGroup, key->group);
    const int keepScope =
        plan ? plan->location : (scope_->currentIndex() >= 0 ? scope_->currentData().toInt() : 0);
    {
        const QSignalBlocker quiet(scope_);
        scope_->clear();
        scope_->addItem("The whole group", 0);
        for (const auto& l : group->locations())
            scope_->addItem(QString("%1  %2").arg(l->number).arg(qt(l->name)), l->number);
        const int at = scope_->findData(keepScope);
        scope_->setCurrentIndex(at < 0 ? 0 : at);
    }
    std::vector<StepEntry> steps;
    if (plan != nullptr)
        for (const Step& s : plan->steps)
            if (s.isProgrammed()) steps.push_back(StepEntry{s.hour, s.minute, s.command});
    steps_->show(steps);
    const QSignalBlocker quiet(enabled_);
    enabled_->setChecked(plan != nullptr ? plan->inForce() : true);
}

}  // namespace quirn
