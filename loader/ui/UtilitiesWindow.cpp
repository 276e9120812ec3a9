#include "loader/ui/UtilitiesWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QVBoxLayout>

#include "loader/LoaderController.h"
#include "loader/LoaderTexts.h"
#include "platform/SerialDevice.h"

namespace quirn {

namespace {
QString qt(const std::string& text) {
    return QString::fromStdString(text);
}
}  // namespace

UtilitiesWindow::UtilitiesWindow(LoaderController& loader, LoaderView& prompts, QWidget* parent)
    : QDialog(parent), view_(prompts, [this] { redraw(); }) {
    setWindowTitle(loader_text::kUtilitiesTitle);
    build();
    controller_ = loader.makeUtilities(view_);
    controller_->open();
    redraw();
}

UtilitiesWindow::~UtilitiesWindow() {
    // Hiding the dialog takes the focus off the port field, which would hand its text to a
    // controller that is gone by then.
    ports_->lineEdit()->disconnect(this);
    ports_->disconnect(this);
    // The controller asks the view to redraw while it closes; the widgets are still here.
    if (controller_) controller_->close();
}

QPushButton* UtilitiesWindow::button(const char* text, const char* name) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    return b;
}

void UtilitiesWindow::build() {
    auto* layout = new QVBoxLayout(this);
    version_ = new QLabel(loader_text::kVersion, this);
    layout->addWidget(version_);

    auto* portBox = new QGroupBox(loader_text::kCommPortBox, this);
    auto* portLayout = new QGridLayout(portBox);
    ports_ = new QComboBox(portBox);
    ports_->setObjectName("ports");
    // Any device path may be typed in: a pseudo-terminal, an adapter the list does not know.
    ports_->setEditable(true);
    ports_->setInsertPolicy(QComboBox::NoInsert);
    ports_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    verify_ = button(loader_text::kVerifyPortButton, "verifyPort");
    // Return in the port field takes a typed device and verifies it in one go.
    verify_->setDefault(true);
    portStatus_ = new QLabel(portBox);
    portStatus_->setObjectName("portStatus");
    portLayout->addWidget(ports_, 0, 0);
    portLayout->addWidget(verify_, 0, 1);
    portLayout->addWidget(portStatus_, 1, 0, 1, 2);
    layout->addWidget(portBox);

    auto* groupBox = new QGroupBox(loader_text::kMasterGroupBox, this);
    auto* groupLayout = new QVBoxLayout(groupBox);
    masterGroups_ = new QCheckBox(loader_text::kEnableMasterGroups, groupBox);
    masterGroups_->setObjectName("masterGroups");
    masterGroupList_ = new QComboBox(groupBox);
    masterGroupList_->setObjectName("masterGroupList");
    groupLayout->addWidget(masterGroups_);
    groupLayout->addWidget(masterGroupList_);
    layout->addWidget(groupBox);

    auto* baudBox = new QGroupBox(loader_text::kSwitchBaudBox, this);
    auto* baudLayout = new QGridLayout(baudBox);
    switchTo2400_ = button(loader_text::kChangeBaud2400, "switchTo2400");
    switchTo4800_ = button(loader_text::kChangeBaud4800, "switchTo4800");
    pcTo2400_ = button(loader_text::kChangePcBaud2400, "pcTo2400");
    pcTo4800_ = button(loader_text::kChangePcBaud4800, "pcTo4800");
    rate_ = new QLabel(baudBox);
    rate_->setObjectName("baudRate");
    headline_ = new QLabel(baudBox);
    headline_->setObjectName("baudHeadline");
    step_ = new QLabel(baudBox);
    step_->setObjectName("baudStep");
    baudLayout->addWidget(switchTo2400_, 0, 0);
    baudLayout->addWidget(switchTo4800_, 0, 1);
    baudLayout->addWidget(pcTo2400_, 1, 0);
    baudLayout->addWidget(pcTo4800_, 1, 1);
    baudLayout->addWidget(rate_, 2, 0, 1, 2);
    baudLayout->addWidget(headline_, 3, 0, 1, 2);
    baudLayout->addWidget(step_, 4, 0, 1, 2);
    layout->addWidget(baudBox);

    auto* close = button("Done", "done");
    layout->addWidget(close);

    connect(ports_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!drawing_) controller_->choosePort(index);
    });
    connect(ports_->lineEdit(), &QLineEdit::editingFinished, this, [this] {
        if (!drawing_) controller_->typeDevicePath(ports_->lineEdit()->text().toStdString());
    });
    connect(verify_, &QPushButton::clicked, this, [this] { controller_->verifyPort(); });
    connect(masterGroups_, &QCheckBox::toggled, this, [this](bool on) {
        if (!drawing_) controller_->setMasterGroupsEnabled(on);
    });
    connect(masterGroupList_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!drawing_) controller_->chooseMasterGroup(index + 1);
    });
    connect(switchTo2400_, &QPushButton::clicked, this,
            [this] { controller_->changeSwitchBaud(kBaud2400); });
    connect(switchTo4800_, &QPushButton::clicked, this,
            [this] { controller_->changeSwitchBaud(kBaud4800); });
    connect(pcTo2400_, &QPushButton::clicked, this,
            [this] { controller_->changePcBaud(kBaud2400); });
    connect(pcTo4800_, &QPushButton::clicked, this,
            [this] { controller_->changePcBaud(kBaud4800); });
    connect(close, &QPushButton::clicked, this, &UtilitiesWindow::reject);
}

void UtilitiesWindow::redraw() {
    if (!controller_ || drawing_) return;
    drawing_ = true;
    const UtilitiesController& c = *controller_;
    QStringList texts;
    for (const std::string& choice : c.portChoices()) texts << qt(choice);
    QStringList shown;
    for (int i = 0; i < ports_->count(); ++i) shown << ports_->itemText(i);
    if (shown != texts) {
        ports_->clear();
        ports_->addItems(texts);
    }
    ports_->setCurrentIndex(c.selectedPortIndex());
    if (masterGroupList_->count() == 0)
        for (const std::string& choice : c.masterGroupChoices())
            masterGroupList_->addItem(qt(choice));
    masterGroups_->setChecked(c.masterGroupsEnabled());
    masterGroupList_->setEnabled(c.masterGroupsEnabled());
    masterGroupList_->setCurrentIndex(c.currentMasterGroup() - 1);

    UtilitiesController::Buttons b = c.buttons();
    verify_->setEnabled(b.verifyPort);
    switchTo2400_->setEnabled(b.switchTo2400);
    switchTo4800_->setEnabled(b.switchTo4800);
    pcTo2400_->setEnabled(b.pcTo2400);
    pcTo4800_->setEnabled(b.pcTo4800);
    // A disabled button says why when pointed at.
    UtilitiesController::ButtonReasons why = c.buttonReasons();
    switchTo2400_->setToolTip(qt(why.switchBaud));
    switchTo4800_->setToolTip(qt(why.switchBaud));
    pcTo2400_->setToolTip(qt(why.pcTo2400));
    pcTo4800_->setToolTip(qt(why.pcTo4800));
    portStatus_->setText(qt(c.portStatusText()));
    rate_->setText(qt(c.rateText()));
    headline_->setText(qt(c.baudChange().headline()));
    step_->setText(qt(c.baudChange().stepText()));
    drawing_ = false;
}

void UtilitiesWindow::reject() {
    if (controller_->requestClose()) QDialog::reject();
}

void UtilitiesWindow::closeEvent(QCloseEvent* event) {
    if (controller_->isOpen() && !controller_->requestClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace quirn
