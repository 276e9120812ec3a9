#include "loader/ui/LoaderWindow.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "loader/LoaderTexts.h"
#include "loader/ui/UtilitiesWindow.h"

namespace quirn {

namespace {
QString qt(const std::string& text) {
    return QString::fromStdString(text);
}
constexpr int kMasterGroupRole = Qt::UserRole;
constexpr int kGroupRole = Qt::UserRole + 1;
constexpr const char* kMatchText = "Program matches the group.";
constexpr const char* kDiffersText = "Program differs from the group.";
}  // namespace

LoaderWindow::LoaderWindow(LoaderServices services, LoaderView& prompts, QWidget* parent)
    : QDialog(parent),
      prompts_(prompts),
      view_(prompts, [this] { redraw(); }),
      controller_(services, view_) {
    setWindowTitle(loader_text::kLoaderTitle);
    build();
    refillGroups();
    controller_.open();
    redraw();
}

LoaderWindow::~LoaderWindow() {
    if (controller_.isOpen()) controller_.close();
}

QPushButton* LoaderWindow::button(const char* text, const char* name) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    return b;
}

void LoaderWindow::build() {
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(loader_text::kGroupsAvailable, this));
    groups_ = new QTreeWidget(this);
    groups_->setObjectName("groups");
    groups_->setHeaderHidden(true);
    left->addWidget(groups_);

    auto* typeBox = new QGroupBox(loader_text::kTypeHeading, this);
    auto* typeLayout = new QVBoxLayout(typeBox);
    types_ = new QButtonGroup(this);
    for (const AttachedTypeInfo& info : kAttachedTypes) {
        auto* radio = new QRadioButton(info.button, typeBox);
        typeLayout->addWidget(radio);
        types_->addButton(radio, static_cast<int>(info.type));
    }
    left->addWidget(typeBox);
    layout->addLayout(left);

    auto* middle = new QVBoxLayout;
    QPushButton* read = button(loader_text::kReadButton, "read");
    QPushButton* write = button(loader_text::kWriteButton, "write");
    QPushButton* on = button(loader_text::kManualOnButton, "manualOn");
    QPushButton* off = button(loader_text::kManualOffButton, "manualOff");
    QPushButton* time = button(loader_text::kSendTimeButton, "sendTime");
    QPushButton* utilities = button(loader_text::kUtilitiesButton, "utilities");
    vornTime_ = button(loader_text::kVornTimeButton, "vornTime");
    QPushButton* finish = button(loader_text::kDoneButton, "done");
    for (QPushButton* b : {read, write, on, off, time, utilities, vornTime_, finish})
        middle->addWidget(b);
    layout->addLayout(middle);

    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(loader_text::kAttachedSwitch, this));
    attached_ = new QTreeWidget(this);
    attached_->setObjectName("attached");
    attached_->setHeaderHidden(true);
    right->addWidget(attached_);
    status_ = new QLabel(this);
    status_->setObjectName("status");
    clockLine_ = new QLabel(this);
    clockLine_->setObjectName("clockLine");
    portError_ = new QLabel(LoaderController::portErrorText(), this);
    portError_->setObjectName("portError");
    right->addWidget(status_);
    right->addWidget(clockLine_);
    right->addWidget(portError_);
    layout->addLayout(right);

    connect(groups_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (drawing_ || item == nullptr) return;
        controller_.selectGroup(item->data(0, kMasterGroupRole).toInt(),
                                item->data(0, kGroupRole).toInt());
    });
    connect(types_, &QButtonGroup::idClicked, this,
            [this](int id) { controller_.chooseType(attachedTypeFromInt(id)); });
    connect(read, &QPushButton::clicked, this, [this] { controller_.read(); });
    connect(write, &QPushButton::clicked, this, [this] { controller_.write(); });
    connect(on, &QPushButton::clicked, this, [this] { controller_.manual(true); });
    connect(off, &QPushButton::clicked, this, [this] { controller_.manual(false); });
    connect(time, &QPushButton::clicked, this, [this] { controller_.sendTime(); });
    connect(utilities, &QPushButton::clicked, this, &LoaderWindow::openUtilities);
    connect(vornTime_, &QPushButton::clicked, this, [this] {
        if (vornTimeAction_) vornTimeAction_();
    });
    connect(finish, &QPushButton::clicked, this, &LoaderWindow::accept);
}

void LoaderWindow::refillGroups() {
    drawing_ = true;
    groups_->clear();
    for (const LoaderController::GroupChoice& g : controller_.groups()) {
        auto* item = new QTreeWidgetItem(groups_, QStringList{qt(g.text)});
        item->setData(0, kMasterGroupRole, g.masterGroup);
        item->setData(0, kGroupRole, g.group);
    }
    drawing_ = false;
}

void LoaderWindow::redraw() {
    if (drawing_ || status_ == nullptr) return;
    drawing_ = true;
    if (QAbstractButton* radio = types_->button(static_cast<int>(controller_.type())))
        radio->setChecked(true);
    status_->setText(qt(controller_.statusText()));
    clockLine_->setText(qt(controller_.clockLine()));
    portError_->setVisible(controller_.portErrorVisible());
    vornTime_->setVisible(controller_.vornTimeVisible());
    drawAttached();
    drawing_ = false;
}

void LoaderWindow::drawAttached() {
    attached_->clear();
    if (controller_.description().empty()) return;
    LoaderController::Match match = controller_.match();
    auto* result = new QTreeWidgetItem(attached_);
    if (match != LoaderController::Match::None) {
        bool same = match == LoaderController::Match::Matches;
        result->setText(0, same ? kMatchText : kDiffersText);
        result->setIcon(0, style()->standardIcon(same ? QStyle::SP_DialogApplyButton
                                                      : QStyle::SP_MessageBoxCritical));
    }
    for (const std::string& line : controller_.description())
        new QTreeWidgetItem(result, QStringList{qt(line)});
    result->setExpanded(true);
}

void LoaderWindow::openUtilities() {
    UtilitiesWindow utilities(controller_, prompts_, this);
    utilities.exec();
    controller_.refresh();
}

void LoaderWindow::done(int result) {
    if (controller_.isOpen()) controller_.close();
    QDialog::done(result);
}

}  // namespace quirn
