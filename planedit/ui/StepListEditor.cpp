#include "planedit/ui/StepListEditor.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "planedit/PlanFieldRules.h"
#include "planedit/ui/FieldRuleValidator.h"

namespace quirn {

namespace {
constexpr const char* kOn = "ON";
constexpr const char* kOff = "OFF";
constexpr int kTimeFieldWidth = 70;

QString commandText(int command) {
    return command == kCommandOn ? kOn : kOff;
}
}  // namespace

StepListEditor::StepListEditor(int limit, const QString& name, QWidget* parent)
    : QWidget(parent), limit_(limit) {
    setObjectName(name);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    table_ = new QTableWidget(0, 2, this);
    table_->setObjectName(name + "Table");
    table_->setHorizontalHeaderLabels({"Time", "Command"});
    table_->verticalHeader()->setVisible(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(table_, 1);

    auto* row = new QHBoxLayout;
    time_ = new QLineEdit(this);
    time_->setObjectName(name + "Time");
    time_->setPlaceholderText("HH:MM");
    time_->setFixedWidth(kTimeFieldWidth);
    command_ = new QComboBox(this);
    command_->setObjectName(name + "Command");
    command_->addItem(kOn, kCommandOn);
    command_->addItem(kOff, kCommandOff);
    add_ = new QPushButton("Add step", this);
    add_->setObjectName(name + "Add");
    remove_ = new QPushButton("Remove step", this);
    remove_->setObjectName(name + "Remove");
    row->addWidget(time_);
    row->addWidget(command_);
    row->addWidget(add_);
    row->addWidget(remove_);
    row->addStretch(1);
    layout->addLayout(row);
    count_ = new QLabel(this);
    count_->setObjectName(name + "Count");
    problem_ = new QLabel(this);
    problem_->setObjectName(name + "Problem");
    problem_->setWordWrap(true);
    layout->addWidget(count_);
    layout->addWidget(problem_);
    guardField(
        time_, [](std::string_view text) { return checkStepTime(text); }, problem_);

    connect(add_, &QPushButton::clicked, this, &StepListEditor::add);
    connect(time_, &QLineEdit::returnPressed, this, &StepListEditor::add);
    connect(remove_, &QPushButton::clicked, this, &StepListEditor::removePicked);
    show({});
}

void StepListEditor::show(const std::vector<StepEntry>& steps) {
    steps_ = steps;
    table_->setRowCount(static_cast<int>(steps_.size()));
    for (size_t i = 0; i < steps_.size(); ++i) {
        const int row = static_cast<int>(i);
        table_->setItem(row, 0,
                        new QTableWidgetItem(QString::fromStdString(
                            stepTimeText(steps_[i].hour, steps_[i].minute))));
        table_->setItem(row, 1, new QTableWidgetItem(commandText(steps_[i].command)));
    }
    drawLimit();
}

void StepListEditor::drawLimit() {
    const bool full = static_cast<int>(steps_.size()) >= limit_;
    count_->setText(QString("%1 of %2 steps").arg(steps_.size()).arg(limit_));
    add_->setEnabled(!full && edit_ != nullptr);
    add_->setToolTip(full ? QString("A list holds at most %1 steps.").arg(limit_) : QString());
    remove_->setEnabled(!steps_.empty() && edit_ != nullptr);
}

void StepListEditor::tell(const std::string& problem) {
    problem_->setText(QString::fromStdString(problem));
}

void StepListEditor::add() {
    if (!edit_) return;
    const std::optional<ClockTime> time = parseStepTime(time_->text().toStdString());
    if (!time) {
        tell(checkStepTime(time_->text().toStdString()).problem);
        return;
    }
    if (static_cast<int>(steps_.size()) >= limit_) {
        tell(add_->toolTip().toStdString());
        return;
    }
    std::vector<StepEntry> next = steps_;
    next.push_back(StepEntry{time->hour, time->minute, command_->currentData().toInt()});
    const std::string refusal = edit_(next);
    tell(refusal);
    if (refusal.empty()) time_->clear();
}

void StepListEditor::removePicked() {
    if (!edit_) return;
    const int row = table_->currentRow();
    if (row < 0 || row >= static_cast<int>(steps_.size())) {
        tell("Pick the step to remove in the list.");
        return;
    }
    std::vector<StepEntry> next = steps_;
    next.erase(next.begin() + row);
    tell(edit_(next));
}

}  // namespace quirn
