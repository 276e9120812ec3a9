#include "planedit/ui/PlansWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include "loader/LoaderView.h"
#include "loader/ui/LoaderWindow.h"
#include "planedit/ui/DayPlansTab.h"
#include "planedit/ui/GroupsTab.h"
#include "planedit/ui/OverrideTab.h"
#include "planedit/ui/PlansWindowTexts.h"
#include "planedit/ui/SummerTab.h"
#include "planedit/ui/WeeksTab.h"
#include "plans/PlanDatabase.h"

namespace quirn {

namespace {
constexpr int kTreeColumnWidth = 300;
constexpr int kWindowWidth = 980;
constexpr int kWindowHeight = 600;
// The calendar tab comes after "Weeks".
constexpr int kCalendarTabIndex = 3;

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}

PlansWindow::CloseAnswer askWithMessageBox(QWidget* parent, const std::string& text) {
    QMessageBox box(QMessageBox::Question, kLoaderCaption, qt(text),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Discard)->setText("Put back");
    switch (box.exec()) {
        case QMessageBox::Save:
            return PlansWindow::CloseAnswer::Save;
        case QMessageBox::Discard:
            return PlansWindow::CloseAnswer::PutBack;
        default:
            return PlansWindow::CloseAnswer::Stay;
    }
}
}  // namespace

PlansWindow::PlansWindow(PlansWindowServices services, QWidget* parent, CloseAsker ask)
    : QDialog(parent),
      services_(std::move(services)),
      ask_(ask ? std::move(ask) : CloseAsker(askWithMessageBox)),
      editor_(services_.database, services_.overrides, services_.summer, services_.clock,
              services_.folder, services_.hasMasterGroups) {
    setObjectName("plansWindow");
    setWindowTitle(plans_text::kTitle);
    build();
    // Return belongs to the field being typed in: no button of the window takes it.
    for (QPushButton* b : findChildren<QPushButton*>()) b->setAutoDefault(false);
    listener_ = editor_.addListener([this](const PlanEditNotice& notice) { heard(notice); });
    if (services_.extend) services_.extend(*this);
    drawTabs();
    drawFoot();
    resize(kWindowWidth, kWindowHeight);
}

PlansWindow::~PlansWindow() {
    editor_.removeListener(listener_);
    // The tabs (the calendar's among them) listen to the editor and let go of it when they are
    // destroyed: they go first, while the editor still lives, not after it in QWidget's own
    // destructor.
    const QList<QWidget*> children = findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    qDeleteAll(children);
}

void PlansWindow::build() {
    auto* layout = new QVBoxLayout(this);
    auto* splitter = new QSplitter(this);
    splitter->setChildrenCollapsible(false);
    splitter->addWidget(buildTreeColumn());
    tabs_ = new QTabWidget(splitter);
    tabs_->setObjectName("tabs");
    groupsTab_ = new GroupsTab(*this, tabs_);
    dayPlansTab_ = new DayPlansTab(*this, tabs_);
    weeksTab_ = new WeeksTab(*this, tabs_);
    overrideTab_ = new OverrideTab(*this, tabs_);
    summerTab_ = new SummerTab(*this, tabs_);
    tabs_->addTab(groupsTab_, plans_text::kGroupsTab);
    tabs_->addTab(dayPlansTab_, plans_text::kDayPlansTab);
    tabs_->addTab(weeksTab_, plans_text::kWeeksTab);
    tabs_->addTab(overrideTab_, plans_text::kOverrideTab);
    tabs_->addTab(summerTab_, plans_text::kSummerTab);
    splitter->addWidget(tabs_);
    connect(tabs_, &QTabWidget::currentChanged, this, &PlansWindow::drawTabs);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);
    layout->addWidget(buildFoot());

    auto* undoKey = new QShortcut(QKeySequence::Undo, this);
    undoKey->setContext(Qt::WindowShortcut);
    connect(undoKey, &QShortcut::activated, this, &PlansWindow::undo);
}

QWidget* PlansWindow::buildTreeColumn() {
    auto* column = new QWidget(this);
    column->setMinimumWidth(kTreeColumnWidth);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    model_ = new PlanTreeModel(services_.database, services_.hasMasterGroups, this);
    tree_ = new QTreeView(column);
    tree_->setObjectName("tree");
    tree_->setHeaderHidden(true);
    tree_->setUniformRowHeights(true);  // no row is measured until it is shown
    tree_->setSelectionMode(QAbstractItemView::SingleSelection);
    tree_->setModel(model_);
    layout->addWidget(tree_, 1);
    auto* buttons = new QHBoxLayout;
    addLocation_ = new QPushButton(plans_text::kAddLocation, column);
    addLocation_->setObjectName("addLocation");
    remove_ = new QPushButton(plans_text::kRemove, column);
    remove_->setObjectName("remove");
    buttons->addWidget(addLocation_);
    buttons->addWidget(remove_);
    layout->addLayout(buttons);
    connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &PlansWindow::takePick);
    connect(addLocation_, &QPushButton::clicked, this, &PlansWindow::addLocation);
    connect(remove_, &QPushButton::clicked, this, &PlansWindow::removePicked);
    return column;
}

QWidget* PlansWindow::buildFoot() {
    auto* foot = new QWidget(this);
    auto* row = new QHBoxLayout(foot);
    row->setContentsMargins(0, 0, 0, 0);
    foot_ = new QLabel(foot);
    foot_->setObjectName("foot");
    foot_->setWordWrap(true);
    undo_ = new QPushButton(plans_text::kUndo, foot);
    undo_->setObjectName("undo");
    save_ = new QPushButton(plans_text::kSave, foot);
    save_->setObjectName("save");
    auto* close = new QPushButton(plans_text::kClose, foot);
    close->setObjectName("close");
    row->addWidget(foot_, 1);
    if (services_.sendProgramming) {
        auto* send = new QPushButton(QString::fromUtf8(plans_text::kSendProgramming), foot);
        send->setObjectName("sendProgramming");
        row->addWidget(send);
        connect(send, &QPushButton::clicked, this, &PlansWindow::sendProgramming);
    }
    row->addWidget(undo_);
    row->addWidget(save_);
    row->addWidget(close);
    connect(undo_, &QPushButton::clicked, this, &PlansWindow::undo);
    connect(save_, &QPushButton::clicked, this, &PlansWindow::save);
    connect(close, &QPushButton::clicked, this, &PlansWindow::reject);
    return foot;
}

void PlansWindow::sendProgramming() {
    const std::optional<PlanTreeModel::Node> node = picked();
    if (!node) {
        services_.sendProgramming(this, 0, 0, 0);
        return;
    }
    switch (node->kind) {
        case PlanTreeModel::Kind::MasterGroup:
            services_.sendProgramming(this, node->masterGroup, 0, 0);
            return;
        case PlanTreeModel::Kind::Group:
            services_.sendProgramming(this, node->masterGroup, node->group, 0);
            return;
        case PlanTreeModel::Kind::Location:
            services_.sendProgramming(this, node->masterGroup, node->group, node->location);
            return;
    }
}

std::optional<PlanTreeModel::Node> PlansWindow::picked() const {
    return model_->node(tree_->currentIndex());
}

std::optional<GroupKey> PlansWindow::pickedGroup() const {
    const std::optional<PlanTreeModel::Node> node = picked();
    if (!node || node->kind == PlanTreeModel::Kind::MasterGroup) return std::nullopt;
    return GroupKey{node->masterGroup, node->group};
}

void PlansWindow::pick(int masterGroup, int group, int location) {
    const QModelIndex index = model_->indexOf(masterGroup, group, location);
    if (!index.isValid()) return;
    for (QModelIndex up = index.parent(); up.isValid(); up = up.parent()) tree_->expand(up);
    tree_->setCurrentIndex(index);
    tree_->scrollTo(index);
}

void PlansWindow::say(const std::string& text) {
    foot_->setText(qt(text));
}

void PlansWindow::addCalendarTab(QWidget* tab, const QString& title) {
    tab->setObjectName(tab->objectName().isEmpty() ? QString("calendarTab") : tab->objectName());
    tabs_->insertTab(std::min(kCalendarTabIndex, tabs_->count()), tab, title);
}

// Every edit and undo, whoever made it: the tree is read again (its rows may name records
// gone), the pick is kept where its record still is, and the tabs are drawn again.
void PlansWindow::heard(const PlanEditNotice& notice) {
    sinceSave_ += undoing_ ? -1 : 1;
    if (notice.groupsAddedOrRemoved || !notice.groups.empty()) {
        const std::optional<PlanTreeModel::Node> before = picked();
        model_->reload();
        // A location removed leaves its group picked.
        if (before && before->kind != PlanTreeModel::Kind::MasterGroup) {
            const PlanDatabase& db = services_.database;
            if (before->location != 0 &&
                db.findLocation(before->masterGroup, before->group, before->location) != nullptr)
                pick(before->masterGroup, before->group, before->location);
            else
                pick(before->masterGroup, before->group);
        }
    }
    drawTabs();
    drawFoot();
}

void PlansWindow::takePick() {
    say("");
    drawTabs();
    drawFoot();
    emit pickedChanged();
}

// Only the tab in sight is drawn; another is drawn when it comes into sight, so a pick at the
// largest fleet never fills five tabs' lists of locations.
void PlansWindow::drawTabs() {
    QWidget* shown = tabs_->currentWidget();
    if (shown == groupsTab_) groupsTab_->redraw();
    if (shown == dayPlansTab_) dayPlansTab_->redraw();
    if (shown == weeksTab_) weeksTab_->redraw();
    if (shown == overrideTab_) overrideTab_->redraw();
    if (shown == summerTab_) summerTab_->redraw();
}

void PlansWindow::drawFoot() {
    const bool canUndo = editor_.canUndo();
    undo_->setEnabled(canUndo);
    undo_->setToolTip(canUndo ? qt(editor_.undoText()) : QString(plans_text::kNothingToUndo));
    const std::optional<GroupKey> group = pickedGroup();
    addLocation_->setEnabled(group.has_value());
    remove_->setEnabled(picked().has_value() && picked()->kind != PlanTreeModel::Kind::MasterGroup);
}

void PlansWindow::addLocation() {
    const std::optional<GroupKey> group = pickedGroup();
    if (!group) {
        say(plans_text::kPickAGroup);
        return;
    }
    const EditOutcome outcome = editor_.addLocation(*group, 0, LocationFields{});
    if (!outcome) {
        say(outcome.refusal);
        return;
    }
    pick(group->masterGroup, group->group, outcome.number);
    tabs_->setCurrentWidget(groupsTab_);
}

void PlansWindow::removePicked() {
    const std::optional<PlanTreeModel::Node> node = picked();
    if (!node || node->kind == PlanTreeModel::Kind::MasterGroup) return;
    const GroupKey group{node->masterGroup, node->group};
    const EditOutcome outcome = node->kind == PlanTreeModel::Kind::Location
                                    ? editor_.removeLocation(group, node->location)
                                    : editor_.removeGroup(group);
    say(outcome ? std::string() : outcome.refusal);
}

void PlansWindow::undo() {
    if (!editor_.canUndo()) {
        say(plans_text::kNothingToUndo);
        return;
    }
    const std::string what = editor_.undoText();
    undoing_ = true;
    const EditOutcome outcome = editor_.undo();
    undoing_ = false;
    say(outcome ? what + "." : outcome.refusal);
}

void PlansWindow::save() {
    if (services_.saveAll) services_.saveAll();
    sinceSave_ = 0;
    drawFoot();
    say(plans_text::kSaved);
}

void PlansWindow::done(int result) {
    if (unsaved() && !closing_) {
        switch (ask_(this, plans_text::kAskSaveOnClose)) {
            case CloseAnswer::Stay:
                return;
            case CloseAnswer::Save:
                save();
                break;
            case CloseAnswer::PutBack:
                // Back to the records as the window found them (or as last saved).
                while (sinceSave_ > 0 && editor_.canUndo()) {
                    const int before = sinceSave_;
                    undo();
                    if (sinceSave_ == before) break;  // the undo was refused
                }
                break;
        }
    }
    closing_ = true;
    QDialog::done(result);
}

PlansWindow* openPlansWindow(PlansWindowServices services, QWidget* parent) {
    auto* window = new PlansWindow(std::move(services), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->open();
    return window;
}

void attachPlansWindow(LoaderWindow& loader, PlansWindowServices services) {
    loader.setPlansAction([&loader, services] {
        PlansWindow* window = openPlansWindow(services, &loader);
        window->editor().addListener([&loader](const PlanEditNotice& notice) {
            if (notice.groupsAddedOrRemoved || !notice.groups.empty()) loader.refillGroups();
        });
        QObject::connect(window, &QDialog::finished, &loader, [&loader] { loader.refillGroups(); });
    });
}

}  // namespace quirn
