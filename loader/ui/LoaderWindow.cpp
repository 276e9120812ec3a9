#include "loader/ui/LoaderWindow.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "loader/AttachedReport.h"
#include "loader/LoaderTexts.h"
#include "loader/ui/UtilitiesWindow.h"
#include "platform/Format.h"

namespace quirn {

namespace {
QString qt(const std::string& text) {
    return QString::fromStdString(text);
}
constexpr int kMasterGroupRole = Qt::UserRole;

// The green mark only when program and clock both pass; a matching program on a wrong clock
// gets the warning mark.
QStyle::StandardPixmap resultMark(LoaderController::Match match) {
    switch (match) {
        case LoaderController::Match::Matches:
            return QStyle::SP_DialogApplyButton;
        case LoaderController::Match::ClockWrong:
            return QStyle::SP_MessageBoxWarning;
        default:
            return QStyle::SP_MessageBoxCritical;
    }
}
constexpr int kGroupRole = Qt::UserRole + 1;
// Fixed widths of the two left columns: the status lines on the right may say anything
// without moving a button.
constexpr int kGroupColumnWidth = 240;
constexpr int kButtonColumnWidth = 130;
constexpr int kAttachedMinimumWidth = 420;
constexpr int kProgressWidth = 110;
constexpr int kWindowMinimumHeight = 380;

// A status line that wraps inside its column instead of widening it.
QLabel* statusLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return label;
}
}  // namespace

LoaderWindow::LoaderWindow(LoaderServices services, LoaderView& prompts, QWidget* parent)
    : QDialog(parent),
      prompts_(prompts),
      view_(prompts, [this] { redraw(); }),
      controller_(services, view_) {
    setWindowTitle(loader_text::kLoaderTitle);
    build();
    // Opening takes the master-groups switch from the profile, which the list texts follow.
    controller_.open();
    refillGroups();
    redraw();
}

LoaderWindow::~LoaderWindow() {
    // The list may still change while the widgets go; the controller goes first.
    groups_->disconnect(this);
    if (controller_.isOpen()) controller_.close();
}

QPushButton* LoaderWindow::button(const char* text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

void LoaderWindow::build() {
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(buildGroupColumn());
    layout->addWidget(buildButtonColumn());
    layout->addWidget(buildAttachedColumn(), 1);
    setMinimumHeight(kWindowMinimumHeight);
    // Ctrl+C takes what the window shows about the attached switch, wherever the focus is.
    auto* copy = new QShortcut(QKeySequence::Copy, this);
    copy->setContext(Qt::WindowShortcut);
    connect(copy, &QShortcut::activated, this,
            [this] { QGuiApplication::clipboard()->setText(qt(attachedReport(controller_))); });
}

QWidget* LoaderWindow::buildGroupColumn() {
    auto* column = new QWidget(this);
    column->setFixedWidth(kGroupColumnWidth);
    auto* left = new QVBoxLayout(column);
    left->setContentsMargins(0, 0, 0, 0);
    left->addWidget(new QLabel(loader_text::kGroupsAvailable, column));
    groups_ = new QTreeWidget(column);
    groups_->setObjectName("groups");
    groups_->setHeaderHidden(true);
    groups_->setSelectionMode(QAbstractItemView::SingleSelection);
    left->addWidget(groups_);

    auto* typeBox = new QGroupBox(loader_text::kTypeHeading, column);
    auto* typeLayout = new QVBoxLayout(typeBox);
    types_ = new QButtonGroup(this);
    for (const AttachedTypeInfo& info : kAttachedTypes) {
        auto* radio = new QRadioButton(info.button, typeBox);
        typeLayout->addWidget(radio);
        types_->addButton(radio, static_cast<int>(info.type));
    }
    left->addWidget(typeBox);

    connect(groups_, &QTreeWidget::itemSelectionChanged, this, &LoaderWindow::takeListSelection);
    connect(types_, &QButtonGroup::idClicked, this,
            [this](int id) { controller_.chooseType(attachedTypeFromInt(id)); });
    return column;
}

QWidget* LoaderWindow::buildButtonColumn() {
    auto* column = new QWidget(this);
    column->setObjectName("buttonColumn");
    column->setFixedWidth(kButtonColumnWidth);
    auto* middle = new QVBoxLayout(column);
    middle->setContentsMargins(0, 0, 0, 0);
    QPushButton* read = button(loader_text::kReadButton, "read", column);
    QPushButton* write = button(loader_text::kWriteButton, "write", column);
    QPushButton* on = button(loader_text::kManualOnButton, "manualOn", column);
    QPushButton* off = button(loader_text::kManualOffButton, "manualOff", column);
    QPushButton* time = button(loader_text::kSendTimeButton, "sendTime", column);
    QPushButton* utilities = button(loader_text::kUtilitiesButton, "utilities", column);
    QPushButton* plans = button(loader_text::kPlansButton, "plans", column);
    plans_ = plans;
    plans->setEnabled(false);
    validate_ = button(loader_text::kValidateButton, "validate", column);
    validate_->setEnabled(false);
    fleet_ = button(loader_text::kFleetButton, "fleet", column);
    fleet_->setEnabled(false);
    vornTime_ = button(loader_text::kVornTimeButton, "vornTime", column);
    QPushButton* finish = button(loader_text::kDoneButton, "done", column);
    for (QPushButton* b : {read, write, on, off, time, utilities, plans, validate_, fleet_, finish})
        middle->addWidget(b);
    sendButtons_ = {read, write, on, off, time};
    // "VORN TIME" comes and goes with the database; it sits below the others so that its
    // absence moves none of them.
    middle->addWidget(vornTime_);
    middle->addStretch(1);

    connect(read, &QPushButton::clicked, this, [this] { controller_.read(); });
    connect(write, &QPushButton::clicked, this, [this] { controller_.write(); });
    connect(on, &QPushButton::clicked, this, [this] { controller_.manual(true); });
    connect(off, &QPushButton::clicked, this, [this] { controller_.manual(false); });
    connect(time, &QPushButton::clicked, this, [this] { controller_.sendTime(); });
    connect(utilities, &QPushButton::clicked, this, &LoaderWindow::openUtilities);
    connect(plans, &QPushButton::clicked, this, [this] {
        if (plansAction_) plansAction_();
    });
    connect(validate_, &QPushButton::clicked, this, [this] {
        if (validateAction_) validateAction_();
    });
    connect(fleet_, &QPushButton::clicked, this, [this] {
        if (fleetAction_) fleetAction_();
    });
    connect(vornTime_, &QPushButton::clicked, this, [this] {
        if (vornTimeAction_) vornTimeAction_();
    });
    connect(finish, &QPushButton::clicked, this, &LoaderWindow::accept);
    return column;
}

QWidget* LoaderWindow::buildAttachedColumn() {
    auto* column = new QWidget(this);
    column->setMinimumWidth(kAttachedMinimumWidth);
    auto* right = new QVBoxLayout(column);
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(new QLabel(loader_text::kAttachedSwitch, column));
    attached_ = new QTreeWidget(column);
    attached_->setObjectName("attached");
    attached_->setHeaderHidden(true);
    // Description lines are shown whole; a long one brings a scroll bar, never an ellipsis.
    attached_->setTextElideMode(Qt::ElideNone);
    attached_->header()->setStretchLastSection(false);
    attached_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    right->addWidget(attached_, 1);

    auto* statusRow = new QHBoxLayout;
    status_ = statusLabel("status", column);
    progress_ = new QProgressBar(column);
    progress_->setObjectName("progress");
    progress_->setRange(0, LoaderController::kReadTicks);
    progress_->setTextVisible(false);
    progress_->setFixedWidth(kProgressWidth);
    statusRow->addWidget(status_, 1);
    statusRow->addWidget(progress_);
    right->addLayout(statusRow);
    sentLine_ = statusLabel("sentLine", column);
    clockLine_ = statusLabel("clockLine", column);
    clockOffset_ = statusLabel("clockOffset", column);
    portError_ = statusLabel("portError", column);
    portError_->setText(LoaderController::portErrorText());
    right->addWidget(sentLine_);
    right->addWidget(clockLine_);
    right->addWidget(clockOffset_);
    right->addWidget(portError_);
    return column;
}

void LoaderWindow::takeListSelection() {
    if (drawing_) return;
    QList<QTreeWidgetItem*> selected = groups_->selectedItems();
    if (selected.isEmpty()) {
        controller_.clearSelection();
        return;
    }
    QTreeWidgetItem* item = selected.front();
    controller_.selectGroup(item->data(0, kMasterGroupRole).toInt(),
                            item->data(0, kGroupRole).toInt());
}

void LoaderWindow::refillGroups() {
    drawing_ = true;
    groups_->clear();
    for (const LoaderController::GroupChoice& g : controller_.groups()) {
        std::string text = g.text;
        if (g.planFindings > 0)
            text += format(loader_text::kGroupFindingsMark, g.planFindings,
                           g.planFindings == 1 ? "" : "s");
        auto* item = new QTreeWidgetItem(groups_, QStringList{qt(text)});
        item->setData(0, kMasterGroupRole, g.masterGroup);
        item->setData(0, kGroupRole, g.group);
    }
    drawing_ = false;
    showControllerSelection();
}

// The list shows the group the buttons use; a group the list no longer holds is dropped.
void LoaderWindow::showControllerSelection() {
    std::optional<LoaderController::GroupChoice> chosen = controller_.selectedGroup();
    for (int i = 0; chosen && i < groups_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = groups_->topLevelItem(i);
        if (item->data(0, kMasterGroupRole).toInt() == chosen->masterGroup &&
            item->data(0, kGroupRole).toInt() == chosen->group) {
            drawing_ = true;
            groups_->setCurrentItem(item);
            drawing_ = false;
            return;
        }
    }
    if (chosen) controller_.clearSelection();
}

void LoaderWindow::redraw() {
    if (drawing_ || status_ == nullptr) return;
    drawing_ = true;
    if (QAbstractButton* radio = types_->button(static_cast<int>(controller_.type())))
        radio->setChecked(true);
    status_->setText(qt(controller_.statusText()));
    progress_->setVisible(controller_.mode() != LoaderController::Mode::Idle);
    progress_->setValue(controller_.progressTicks());
    sentLine_->setText(qt(controller_.sentLine()));
    clockLine_->setText(qt(controller_.clockLine()));
    clockOffset_->setText(qt(controller_.clockOffsetLine()));
    portError_->setVisible(controller_.portErrorVisible());
    vornTime_->setVisible(controller_.vornTimeVisible());
    drawSendButtons();
    drawAttached();
    drawing_ = false;
}

// A button that would do nothing now is disabled and says why when pointed at.
void LoaderWindow::drawSendButtons() {
    const QString reason = qt(controller_.busyReason());
    for (QPushButton* b : sendButtons_) {
        b->setEnabled(reason.isEmpty());
        b->setToolTip(reason);
    }
}

void LoaderWindow::drawAttached() {
    attached_->clear();
    if (controller_.description().empty()) return;
    auto* result = new QTreeWidgetItem(attached_);
    if (controller_.match() != LoaderController::Match::None) {
        result->setText(0, qt(controller_.matchText()));
        result->setIcon(0, style()->standardIcon(resultMark(controller_.match())));
    }
    for (const std::string& line : controller_.description())
        new QTreeWidgetItem(result, QStringList{qt(line)});
    result->setExpanded(true);
    fitAttachedWidth();
}

// The tree is as wide as its longest line, so the result line (and every line read) is shown
// whole; the window grows with it rather than cut it off behind a scroll bar.
void LoaderWindow::fitAttachedWidth() {
    attached_->resizeColumnToContents(0);
    const int lines = attached_->columnWidth(0) + 2 * attached_->frameWidth() +
                      attached_->verticalScrollBar()->sizeHint().width();
    attached_->setMinimumWidth(std::max(kAttachedMinimumWidth, lines));
}

void LoaderWindow::openUtilities() {
    UtilitiesWindow utilities(controller_, prompts_, this);
    utilities.exec();
    controller_.refresh();
}

void LoaderWindow::setValidateAction(std::function<void()> action) {
    validateAction_ = std::move(action);
    validate_->setEnabled(static_cast<bool>(validateAction_));
}

void LoaderWindow::setPlansAction(std::function<void()> action) {
    plansAction_ = std::move(action);
    plans_->setEnabled(static_cast<bool>(plansAction_));
}

void LoaderWindow::setFleetAction(std::function<void()> action) {
    fleetAction_ = std::move(action);
    fleet_->setEnabled(static_cast<bool>(fleetAction_));
}

void LoaderWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1 && event->modifiers() == Qt::NoModifier) {
        if (helpAction_) helpAction_();
        return;
    }
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (prompts_.askYesNo(loader_text::kAskEndStation, kLoaderCaption)) reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void LoaderWindow::done(int result) {
    if (controller_.isOpen()) controller_.close();
    QDialog::done(result);
}

}  // namespace quirn
