#include "testing/ui/TimeTestWindow.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "loader/ui/LoaderWindow.h"
#include "testing/TimeTestTexts.h"

namespace quirn {

namespace text = time_test_text;

namespace {

QString qt(const std::string& s) {
    return QString::fromStdString(s);
}

bool askWithMessageBox(QWidget* parent, const std::string& text, const std::string& caption) {
    return QMessageBox::question(parent, qt(caption), qt(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

std::string askForCsvFile(QWidget* parent, const std::string& proposed) {
    return QFileDialog::getSaveFileName(parent, text::kSaveLinesButton, qt(proposed),
                                        "CSV files (*.csv)")
        .toStdString();
}

struct TestButton {
    const char* text;
    const char* name;
    TestKind kind;
};

constexpr TestButton kTestButtons[] = {
    {text::kDateFlipButton, "dateFlip", TestKind::DateFlip},
    {text::kStep16Button, "step16", TestKind::Step16},
    {text::kAp36Button, "ap36", TestKind::Ap36},
    {text::kDwpButton, "dwp", TestKind::Dwp},
    {text::kStep2460Button, "step2460", TestKind::Step2460},
    {text::kDstButton, "dst", TestKind::Dst},
};

struct PresetButton {
    const char* text;
    const char* name;
    TimeTestController::Preset preset;
};

constexpr PresetButton kPresetButtons[] = {
    {text::kPreset159Button, "preset0159", TimeTestController::Preset::At0159},
    {text::kPreset259Button, "preset0259", TimeTestController::Preset::At0259},
    {text::kPreset1159Button, "preset2359", TimeTestController::Preset::At2359},
};

}  // namespace

TimeTestWindow::TimeTestWindow(const TimeTestWindowServices& services, QWidget* parent,
                               FilePicker pickFile, YesNoAsker ask)
    : QDialog(parent),
      controller_(services),
      pickFile_(pickFile ? std::move(pickFile) : FilePicker(askForCsvFile)),
      ask_(ask ? std::move(ask) : YesNoAsker(askWithMessageBox)) {
    setWindowTitle(text::kTitle);
    build();
    controller_.setView(this);
    controller_.setChangedHandler([this] { redraw(); });
    controller_.open();
    redraw();
}

TimeTestWindow::~TimeTestWindow() {
    controller_.setChangedHandler({});
    controller_.setView(nullptr);
    controller_.close();
}

bool TimeTestWindow::askYesNo(const std::string& text, const std::string& caption) {
    return ask_(this, text, caption);
}

QPushButton* TimeTestWindow::button(const char* label, const char* name) {
    auto* b = new QPushButton(label, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QComboBox* TimeTestWindow::picker(const std::vector<std::string>& items, const char* name) {
    auto* box = new QComboBox(this);
    box->setObjectName(name);
    for (const std::string& item : items) box->addItem(qt(item));
    connect(box, &QComboBox::currentIndexChanged, this, [this] { readPickers(); });
    return box;
}

void TimeTestWindow::build() {
    auto* layout = new QVBoxLayout(this);

    auto* targets = new QGroupBox("Time Switches", this);
    auto* targetLayout = new QHBoxLayout(targets);
    masterGroup_ = picker(TimeTestController::masterGroupItems(), "masterGroup");
    group_ = picker(TimeTestController::groupItems(), "group");
    location_ = picker(TimeTestController::locationItems(), "location");
    for (QComboBox* box : {masterGroup_, group_, location_}) targetLayout->addWidget(box);
    layout->addWidget(targets);

    auto* clock = new QGroupBox("Clock", this);
    auto* clockLayout = new QGridLayout(clock);
    date_ = new QDateEdit(this);
    date_->setObjectName("date");
    date_->setCalendarPopup(true);
    date_->setDisplayFormat("yyyy-MM-dd");
    date_->setDateRange(QDate(TimeTestController::kFirstYear, 1, 1),
                        QDate(TimeTestController::kLastYear, 12, 31));
    connect(date_, &QDateEdit::dateChanged, this, [this] { readPickers(); });
    hour_ = picker(TimeTestController::hourItems(), "hour");
    minute_ = picker(TimeTestController::minuteItems(), "minute");
    second_ = picker(TimeTestController::secondItems(), "second");
    clockLayout->addWidget(date_, 0, 0);
    clockLayout->addWidget(hour_, 0, 1);
    clockLayout->addWidget(minute_, 0, 2);
    clockLayout->addWidget(second_, 0, 3);
    int column = 0;
    for (const PresetButton& p : kPresetButtons) {
        QPushButton* b = button(p.text, p.name);
        connect(b, &QPushButton::clicked, this, [this, p] { controller_.preset(p.preset); });
        clockLayout->addWidget(b, 1, column++);
    }
    QPushButton* sendTime = button(text::kSendTimeButton, "sendTime");
    clockLayout->addWidget(sendTime, 1, column);
    layout->addWidget(clock);

    auto* commands = new QHBoxLayout;
    QPushButton* on = button(text::kManualOnButton, "manualOn");
    QPushButton* off = button(text::kManualOffButton, "manualOff");
    commands->addWidget(on);
    commands->addWidget(off);
    commands->addStretch();
    layout->addLayout(commands);

    auto* tests = new QGroupBox("Tests", this);
    auto* testLayout = new QHBoxLayout(tests);
    for (const TestButton& t : kTestButtons) {
        QPushButton* b = button(t.text, t.name);
        connect(b, &QPushButton::clicked, this, [this, t] { controller_.startTest(t.kind); });
        testLayout->addWidget(b);
    }
    QPushButton* all = button(text::kTestAllButton, "testAll");
    testLayout->addWidget(all);
    layout->addWidget(tests);

    status_ = new QLabel(this);
    status_->setObjectName("status");
    layout->addWidget(status_);
    lines_ = new QListWidget(this);
    lines_->setObjectName("lines");
    lines_->setMinimumSize(720, 240);
    layout->addWidget(lines_);

    auto* bottom = new QHBoxLayout;
    QPushButton* save = button(text::kSaveLinesButton, "saveLines");
    restore_ = button(text::kRestoreButton, "restoreProgramming");
    QPushButton* cancel = button(text::kCancelButton, "cancel");
    bottom->addWidget(save);
    bottom->addWidget(restore_);
    bottom->addStretch();
    bottom->addWidget(cancel);
    layout->addLayout(bottom);

    connect(sendTime, &QPushButton::clicked, this, [this] { controller_.sendTime(); });
    connect(on, &QPushButton::clicked, this, [this] { controller_.manual(true); });
    connect(off, &QPushButton::clicked, this, [this] { controller_.manual(false); });
    connect(all, &QPushButton::clicked, this, [this] { controller_.testAll(); });
    connect(save, &QPushButton::clicked, this, &TimeTestWindow::saveLines);
    connect(restore_, &QPushButton::clicked, this, [this] { controller_.restoreProgramming(); });
    connect(cancel, &QPushButton::clicked, this, &TimeTestWindow::reject);
}

void TimeTestWindow::readPickers() {
    if (drawing_) return;
    TimeTestController::Pickers p = controller_.pickers();
    p.masterGroup = masterGroup_->currentIndex();
    p.group = group_->currentIndex();
    p.location = location_->currentIndex();
    p.hour = hour_->currentIndex();
    p.minute = minute_->currentIndex();
    p.second = second_->currentIndex();
    QDate d = date_->date();
    p.year = d.year();
    p.month = d.month();
    p.day = d.day();
    controller_.setPickers(p);
}

void TimeTestWindow::redraw() {
    if (drawing_ || lines_ == nullptr) return;
    drawing_ = true;
    const TimeTestController::Pickers& p = controller_.pickers();
    masterGroup_->setCurrentIndex(p.masterGroup);
    group_->setCurrentIndex(p.group);
    location_->setCurrentIndex(p.location);
    hour_->setCurrentIndex(p.hour);
    minute_->setCurrentIndex(p.minute);
    second_->setCurrentIndex(p.second);
    date_->setDate(QDate(p.year, p.month, p.day));
    const auto& lines = controller_.lines();
    for (int i = lines_->count(); i < static_cast<int>(lines.size()); ++i)
        lines_->addItem(qt(lines[static_cast<std::size_t>(i)].shown()));
    lines_->scrollToBottom();
    status_->setText(qt(controller_.statusText()));
    restore_->setEnabled(controller_.canRestore());
    restore_->setToolTip(controller_.canRestore()
                             ? QString()
                             : "No test has replaced the programming of group 1 since the last "
                               "archive or restore.");
    drawing_ = false;
}

void TimeTestWindow::saveLines() {
    std::string path = pickFile_(this, controller_.proposedLinesPath());
    if (!path.empty()) controller_.saveLines(path);
}

void TimeTestWindow::done(int result) {
    // The question box of cancel() runs its own loop; a second close meanwhile waits for it.
    if (closing_) return;
    closing_ = true;
    controller_.cancel();
    closing_ = false;
    QDialog::done(result);
}

TimeTestWindow* openTimeTestWindow(const TimeTestWindowServices& services, QWidget* parent) {
    auto* window = new TimeTestWindow(services, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->open();
    return window;
}

void attachTimeTesting(LoaderWindow& loader, TimeTestWindowServices services) {
    services.attachedType = [&loader] { return loader.controller().type(); };
    loader.setVornTimeAction([&loader, services] { openTimeTestWindow(services, &loader); });
}

}  // namespace quirn
