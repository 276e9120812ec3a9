#include "plancalendar/ui/PlansCalendarTab.h"

#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "plancalendar/DayEdit.h"
#include "plancalendar/DayEditApply.h"
#include "plancalendar/GroupCalendarMarks.h"
#include "planedit/PlanEditor.h"
#include "plans/PlanDatabase.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"

namespace quirn::plancalendar {

namespace {

constexpr int kSidePanelWidth = 260;
constexpr const char* kDateFormat = "yyyy-MM-dd";

QDate qdateOf(std::time_t t) {
    const LocalDateTime local = toLocal(t);
    return QDate(local.year, local.month, local.day);
}

QString vacationText(const VacationPlan& vacation) {
    const QDate first = qdateOf(vacation.start), last = qdateOf(vacation.end);
    const auto days = first.daysTo(last) + 1;
    return QStringLiteral("%1 to %2 (%3 day%4)")
        .arg(first.toString(kDateFormat), last.toString(kDateFormat))
        .arg(days)
        .arg(days == 1 ? "" : "s");
}

}  // namespace

PlansCalendarTab::PlansCalendarTab(PlanEditor& editor, const PlanDatabase& db, const Clock& clock,
                                   const CalendarHostOptions& hostOptions, QWidget* parent)
    : QWidget(parent), editor_(editor), db_(db), clock_(clock) {
    host_ = makeCalendarHost(this, hostOptions);
    buildLayout();
    connect(host_.get(), &CalendarHost::newFocusTime, this, &PlansCalendarTab::onFocus);
    connect(host_.get(), &CalendarHost::newLiftTime, this, &PlansCalendarTab::onLift);
    listener_ = editor_.addListener([this](const PlanEditNotice& n) { onNotice(n); });
    refresh();
}

PlansCalendarTab::~PlansCalendarTab() {
    editor_.removeListener(listener_);
    // The control goes before the widgets it sits among.
    host_.reset();
}

void PlansCalendarTab::buildLayout() {
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("calendarTitle"));
    left->addWidget(title_);
    left->addWidget(host_->widget(), 1);
    layout->addLayout(left, 1);

    auto* side = new QWidget(this);
    side->setFixedWidth(kSidePanelWidth);
    auto* right = new QVBoxLayout(side);
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(new QLabel(tr("A click on a day gives it:"), side));
    pickList_ = new QListWidget(side);
    pickList_->setObjectName(QStringLiteral("calendarPicks"));
    right->addWidget(pickList_, 1);
    auto* hint = new QLabel(tr("Press on one day and release on another for a vacation over "
                               "those days. Days before today cannot be changed."),
                            side);
    hint->setWordWrap(true);
    right->addWidget(hint);

    auto* vacations = new QGroupBox(tr("Vacations"), side);
    auto* form = new QFormLayout;
    vacationFirst_ = new QDateEdit(vacations);
    vacationFirst_->setObjectName(QStringLiteral("vacationFirst"));
    vacationLast_ = new QDateEdit(vacations);
    vacationLast_->setObjectName(QStringLiteral("vacationLast"));
    for (QDateEdit* edit : {vacationFirst_, vacationLast_}) {
        edit->setDisplayFormat(kDateFormat);
        edit->setCalendarPopup(true);
        edit->setDate(qdateOf(clock_.now()));
    }
    form->addRow(tr("First day"), vacationFirst_);
    form->addRow(tr("Last day"), vacationLast_);
    auto* box = new QVBoxLayout(vacations);
    box->addLayout(form);
    addVacation_ = new QPushButton(tr("Add vacation"), vacations);
    addVacation_->setObjectName(QStringLiteral("addVacation"));
    box->addWidget(addVacation_);
    vacationList_ = new QListWidget(vacations);
    vacationList_->setObjectName(QStringLiteral("vacations"));
    box->addWidget(vacationList_, 1);
    removeVacation_ = new QPushButton(tr("Remove vacation"), vacations);
    removeVacation_->setObjectName(QStringLiteral("removeVacation"));
    box->addWidget(removeVacation_);
    right->addWidget(vacations, 1);

    status_ = new QLabel(side);
    status_->setObjectName(QStringLiteral("calendarStatus"));
    status_->setWordWrap(true);
    right->addWidget(status_);
    layout->addWidget(side);

    connect(pickList_, &QListWidget::currentRowChanged, this, [this] { onPickChanged(); });
    connect(addVacation_, &QPushButton::clicked, this, [this] { addVacationFromFields(); });
    connect(removeVacation_, &QPushButton::clicked, this, [this] { removeSelectedVacation(); });
    connect(vacationList_, &QListWidget::currentRowChanged, this,
            [this](int row) { removeVacation_->setEnabled(row >= 0); });
}

void PlansCalendarTab::setGroup(GroupKey group) {
    group_ = group;
    tracker_.reset();
    status_->clear();
    refresh();
}

void PlansCalendarTab::clearGroup() {
    group_.reset();
    tracker_.reset();
    status_->clear();
    refresh();
}

const Group* PlansCalendarTab::currentGroup() const {
    return group_ ? db_.findGroup(group_->masterGroup, group_->group) : nullptr;
}

void PlansCalendarTab::onNotice(const PlanEditNotice& notice) {
    if (!group_) return;
    if (notice.groupsAddedOrRemoved ||
        std::find(notice.groups.begin(), notice.groups.end(), *group_) != notice.groups.end())
        refresh();
}

void PlansCalendarTab::refresh() {
    const Group* group = currentGroup();
    title_->setText(group
                        ? tr("Annual and vacation plans of %1")
                              .arg(QString::fromStdString(group->title(editor_.hasMasterGroups())))
                        : tr("No group selected"));
    fillPicks(group);
    fillVacations(group);
    for (QWidget* w : std::initializer_list<QWidget*>{pickList_, vacationFirst_, vacationLast_,
                                                      addVacation_, vacationList_})
        w->setEnabled(group != nullptr);
    removeVacation_->setEnabled(group && vacationList_->currentRow() >= 0);
    showCurrentMarks();
}

void PlansCalendarTab::fillPicks(const Group* group) {
    // The same pick stays picked when the list is filled again.
    const bool hadPick = pickList_->currentRow() >= 0;
    const CalendarPick kept = hadPick ? currentPick() : CalendarPick{};
    const QSignalBlocker blocker(pickList_);
    pickList_->clear();
    picks_ = group ? picksOf(*group) : std::vector<CalendarPick>{};
    int row = 0;
    for (size_t i = 0; i < picks_.size(); ++i) {
        pickList_->addItem(QString::fromStdString(pickText(*group, picks_[i])));
        if (hadPick && picks_[i] == kept) row = static_cast<int>(i);
    }
    if (!picks_.empty()) pickList_->setCurrentRow(row);
}

void PlansCalendarTab::fillVacations(const Group* group) {
    const int kept = vacationList_->currentRow();
    vacationList_->clear();
    if (!group) return;
    for (const VacationPlan& vacation : group->vacationPlans())
        vacationList_->addItem(vacationText(vacation));
    if (kept >= 0 && kept < vacationList_->count()) vacationList_->setCurrentRow(kept);
}

CalendarPick PlansCalendarTab::currentPick() const {
    const int row = pickList_->currentRow();
    if (row < 0 || row >= static_cast<int>(picks_.size())) return {CalendarPick::Kind::Clear, 0};
    return picks_[static_cast<size_t>(row)];
}

void PlansCalendarTab::showCurrentMarks() {
    const Group* group = currentGroup();
    const std::vector<CalendarMark> marks =
        group ? groupCalendarMarks(*group, shownSpan(clock_.now())) : std::vector<CalendarMark>{};
    showMarks(*host_, marks, activePlanCalls(currentPick()));
}

void PlansCalendarTab::onPickChanged() {
    for (std::int16_t code : activePlanCalls(currentPick())) host_->setActivePlan(code);
}

void PlansCalendarTab::onFocus(int year, int month, int day, int) {
    tracker_.focus(year, month, day);
}

void PlansCalendarTab::onLift(int year, int month, int day) {
    const std::optional<DayRange> range = tracker_.lift(year, month, day);
    const Group* group = currentGroup();
    if (!range || !group) return;
    const std::optional<DayEdit> edit = dayEditFor(*group, *range, currentPick());
    if (!edit) return;
    const QString what = QString::fromStdString(dayEditText(*group, *edit));
    const EditOutcome outcome = applyDayEdit(editor_, *group_, *edit);
    report(outcome ? what : QString::fromStdString(outcome.refusal), !outcome);
}

void PlansCalendarTab::addVacationFromFields() {
    if (!group_) return;
    const QDate first = vacationFirst_->date(), last = vacationLast_->date();
    const EditOutcome outcome =
        editor_.addVacation(*group_, {first.year(), first.month(), first.day()},
                            {last.year(), last.month(), last.day()});
    report(
        outcome
            ? tr("%1 to %2: vacation").arg(first.toString(kDateFormat), last.toString(kDateFormat))
            : QString::fromStdString(outcome.refusal),
        !outcome);
}

void PlansCalendarTab::removeSelectedVacation() {
    const Group* group = currentGroup();
    const int row = vacationList_->currentRow();
    if (!group || row < 0 || row >= static_cast<int>(group->vacationPlans().size())) return;
    const VacationPlan vacation = group->vacationPlans()[static_cast<size_t>(row)];
    const QDate first = qdateOf(vacation.start), last = qdateOf(vacation.end);
    const EditOutcome outcome =
        editor_.removeVacation(*group_, {first.year(), first.month(), first.day()},
                               {last.year(), last.month(), last.day()});
    report(outcome ? tr("Removed the vacation %1").arg(vacationText(vacation))
                   : QString::fromStdString(outcome.refusal),
           !outcome);
}

void PlansCalendarTab::report(const QString& text, bool refused) {
    status_->setText(text);
    status_->setStyleSheet(refused ? QStringLiteral("color: #b00000;") : QString());
}

}  // namespace quirn::plancalendar
