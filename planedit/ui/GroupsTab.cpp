#include "planedit/ui/GroupsTab.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "planedit/PlanFieldRules.h"
#include "planedit/ui/CopyProgrammingDialog.h"
#include "planedit/ui/FieldRuleValidator.h"
#include "planedit/ui/LocationForm.h"
#include "planedit/ui/PlansWindow.h"
#include "planedit/ui/PlansWindowTexts.h"
#include "plans/PlanDatabase.h"

namespace quirn {

namespace {
enum Page { kPickPage = 0, kGroupPage = 1, kLocationPage = 2 };

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}
}  // namespace

GroupsTab::GroupsTab(PlansWindow& window, QWidget* parent) : QWidget(parent), window_(window) {
    setObjectName("groupsTab");
    auto* layout = new QVBoxLayout(this);
    pages_ = new QStackedWidget(this);
    pickHint_ = new QLabel(plans_text::kPickAGroup, pages_);
    pickHint_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    pages_->addWidget(pickHint_);
    pages_->addWidget(buildGroupPage());
    location_ = new LocationForm(pages_);
    pages_->addWidget(location_);
    layout->addWidget(pages_, 1);
    layout->addWidget(buildNewGroupRow());

    location_->setApply([this](const LocationFields& fields) -> std::string {
        const std::optional<PlanTreeModel::Node> node = window_.picked();
        if (!node || node->kind != PlanTreeModel::Kind::Location) return plans_text::kPickAGroup;
        return window_.editor()
            .updateLocation(GroupKey{node->masterGroup, node->group}, node->location, fields)
            .refusal;
    });
}

QWidget* GroupsTab::buildGroupPage() {
    auto* page = new QWidget(pages_);
    auto* form = new QFormLayout(page);
    groupTitle_ = new QLabel(page);
    groupTitle_->setObjectName("groupTitle");
    groupName_ = new QLineEdit(page);
    groupName_->setObjectName("groupName");
    groupProblem_ = new QLabel(page);
    groupProblem_->setObjectName("groupProblem");
    groupProblem_->setWordWrap(true);
    copy_ = new QPushButton(plans_text::kCopyProgramming, page);
    copy_->setObjectName("copyProgramming");
    form->addRow("Group", groupTitle_);
    form->addRow("Name", groupName_);
    form->addRow("", groupProblem_);
    form->addRow("", copy_);
    guardField(
        groupName_, [](std::string_view t) { return checkRecordName(t, "group name"); },
        groupProblem_);
    connect(groupName_, &QLineEdit::editingFinished, this, &GroupsTab::renameGroup);
    connect(copy_, &QPushButton::clicked, this, &GroupsTab::copyProgramming);
    return page;
}

QWidget* GroupsTab::buildNewGroupRow() {
    auto* box = new QGroupBox("New group", this);
    auto* column = new QVBoxLayout(box);
    auto* row = new QHBoxLayout;
    newMasterGroup_ = new QSpinBox(box);
    newMasterGroup_->setObjectName("newGroupMasterGroup");
    newMasterGroup_->setRange(kMinMasterGroup, kMaxMasterGroup);
    newNumber_ = new QSpinBox(box);
    newNumber_->setObjectName("newGroupNumber");
    newNumber_->setRange(kMinGroup, kMaxGroup);
    newName_ = new QLineEdit(box);
    newName_->setObjectName("newGroupName");
    newName_->setPlaceholderText("name");
    auto* add = new QPushButton(plans_text::kAddGroup, box);
    add->setObjectName("addGroup");
    newProblem_ = new QLabel(box);
    newProblem_->setObjectName("newGroupProblem");
    newProblem_->setWordWrap(true);
    if (window_.editor().hasMasterGroups()) {
        row->addWidget(new QLabel("Master group", box));
        row->addWidget(newMasterGroup_);
    } else {
        newMasterGroup_->hide();
    }
    row->addWidget(new QLabel("Number", box));
    row->addWidget(newNumber_);
    row->addWidget(newName_, 1);
    row->addWidget(add);
    column->addLayout(row);
    column->addWidget(newProblem_);
    guardField(
        newName_, [](std::string_view t) { return checkRecordName(t, "group name"); }, newProblem_);
    connect(add, &QPushButton::clicked, this, &GroupsTab::addGroup);
    connect(newName_, &QLineEdit::returnPressed, this, &GroupsTab::addGroup);
    connect(newMasterGroup_, &QSpinBox::valueChanged, this, &GroupsTab::proposeNewGroupNumber);
    proposeNewGroupNumber();
    return box;
}

void GroupsTab::redraw() {
    const std::optional<PlanTreeModel::Node> node = window_.picked();
    const PlanDatabase& db = window_.services().database;
    if (!node || node->kind == PlanTreeModel::Kind::MasterGroup) {
        pages_->setCurrentIndex(kPickPage);
        if (node) newMasterGroup_->setValue(node->masterGroup);
        return;
    }
    const Group* group = db.findGroup(node->masterGroup, node->group);
    if (group == nullptr) {
        pages_->setCurrentIndex(kPickPage);
        return;
    }
    if (node->kind == PlanTreeModel::Kind::Group) {
        pages_->setCurrentIndex(kGroupPage);
        groupTitle_->setText(qt(group->title(window_.editor().hasMasterGroups())));
        if (!groupName_->hasFocus() || groupName_->hasAcceptableInput())
            groupName_->setText(qt(group->name()));
        return;
    }
    const Location* location = group->findLocation(node->location);
    if (location == nullptr) {
        pages_->setCurrentIndex(kPickPage);
        return;
    }
    pages_->setCurrentIndex(kLocationPage);
    location_->show(location->number, LocationFields::of(*location));
}

void GroupsTab::renameGroup() {
    const std::optional<PlanTreeModel::Node> node = window_.picked();
    if (!node || node->kind != PlanTreeModel::Kind::Group) return;
    const Group* group = window_.services().database.findGroup(node->masterGroup, node->group);
    const std::string name = groupName_->text().toStdString();
    if (group == nullptr || group->name() == name) return;
    const EditOutcome outcome =
        window_.editor().renameGroup(GroupKey{node->masterGroup, node->group}, name);
    groupProblem_->setText(qt(outcome.refusal));
}

// The lowest group number the master group does not use yet.
void GroupsTab::proposeNewGroupNumber() {
    const PlanDatabase& db = window_.services().database;
    const int mg = window_.editor().hasMasterGroups() ? newMasterGroup_->value() : 1;
    for (int g = kMinGroup; g <= kMaxGroup; ++g)
        if (db.findGroup(mg, g) == nullptr) {
            newNumber_->setValue(g);
            return;
        }
}

void GroupsTab::addGroup() {
    const int mg = window_.editor().hasMasterGroups() ? newMasterGroup_->value() : 1;
    const GroupKey key{mg, newNumber_->value()};
    const EditOutcome outcome = window_.editor().addGroup(key, newName_->text().toStdString());
    newProblem_->setText(qt(outcome.refusal));
    if (!outcome) return;
    newName_->clear();
    proposeNewGroupNumber();
    window_.pick(key.masterGroup, key.group);
}

void GroupsTab::copyProgramming() {
    const std::optional<GroupKey> from = window_.pickedGroup();
    if (!from) return;
    auto* dialog = new CopyProgrammingDialog(window_, *from, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

}  // namespace quirn
