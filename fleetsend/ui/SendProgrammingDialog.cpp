#include "fleetsend/ui/SendProgrammingDialog.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

#include "fleetsend/FleetSend.h"
#include "fleetsend/ui/SendOutcomeModel.h"
#include "fleetsend/ui/SendProgressText.h"
#include "fleetsend/ui/SentLocations.h"
#include "validationrun/RunProgressText.h"
#include "validationrun/ValidationRun.h"

namespace quirn {

namespace {
constexpr const char* kCaption = "Send programming";
constexpr const char* kTechnicianReason = "by the technician";
constexpr int kWindowWidth = 760;
constexpr int kWindowHeight = 560;
constexpr int kRowHeight = 22;
constexpr int kWholeRunPercent = 100;
// Fixed column widths: measuring the contents would visit every row of the largest fleet.
constexpr int kColumnWidths[SendOutcomeModel::ColumnCount] = {230, 80, 70, 70, 260};

QString text(const std::string& s) {
    return QString::fromStdString(s);
}

int barValue(std::size_t n) {
    return static_cast<int>(std::min<std::size_t>(n, std::numeric_limits<int>::max()));
}

// The choices offered: the caller's own first when it names more than the fixed two.
std::vector<SendSelection> choicesFor(const SendSelection& preset) {
    std::vector<SendSelection> choices;
    if (preset.scope != SendScope::All && preset.scope != SendScope::Changed)
        choices.push_back(preset);
    choices.push_back(SendSelection::all());
    choices.push_back(SendSelection::changed());
    return choices;
}

QString choiceText(const SendSelection& s) {
    switch (s.scope) {
        case SendScope::All:
            return "All locations";
        case SendScope::Changed:
            return "Changed since last sent";
        default:
            break;
    }
    QString t = text(s.text());
    if (!t.isEmpty()) t[0] = t[0].toUpper();
    return t;
}
}  // namespace

SendProgrammingDialog::SendProgrammingDialog(FleetSend& send, ValidationRun* run,
                                             SendSelection preset, QWidget* parent)
    : QDialog(parent),
      send_(send),
      run_(run),
      choices_(choicesFor(preset)),
      refresh_(new QTimer(this)) {
    setWindowTitle(kCaption);
    setObjectName("sendProgramming");
    resize(kWindowWidth, kWindowHeight);

    choice_ = new QComboBox(this);
    choice_->setObjectName("choice");
    for (const SendSelection& s : choices_) choice_->addItem(choiceText(s));
    // The caller's preset is the one chosen, whichever it is.
    const auto presetAt =
        std::find_if(choices_.begin(), choices_.end(),
                     [&](const SendSelection& s) { return s.scope == preset.scope; });
    choice_->setCurrentIndex(static_cast<int>(presetAt - choices_.begin()));
    plan_ = new QPushButton("Plan again", this);
    plan_->setObjectName("plan");
    auto* chooseRow = new QHBoxLayout;
    chooseRow->addWidget(new QLabel("Send to:", this));
    chooseRow->addWidget(choice_, 1);
    chooseRow->addWidget(plan_);

    for (QLabel** label : {&state_, &estimate_, &current_, &summary_}) {
        *label = new QLabel(this);
        (*label)->setWordWrap(true);
    }
    state_->setObjectName("state");
    estimate_->setObjectName("estimate");
    current_->setObjectName("current");
    summary_->setObjectName("summary");
    progress_ = new QProgressBar(this);
    progress_->setObjectName("progress");

    confirm_ = new QPushButton("Send", this);
    confirm_->setObjectName("send");
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("cancel");
    stop_ = new QPushButton("Stop", this);
    stop_->setObjectName("stop");
    validate_ = new QPushButton("Validate these", this);
    validate_->setObjectName("validate");
    validate_->setVisible(run_ != nullptr);
    auto* close = new QPushButton("Close", this);
    close->setObjectName("close");
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {confirm_, cancel_, stop_, validate_}) buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(close);

    outcome_ = new SendOutcomeModel(send_.items(), this);
    table_ = new QTableView(this);
    table_->setObjectName("outcome");
    table_->setModel(outcome_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    table_->verticalHeader()->hide();
    table_->setWordWrap(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    for (int c = 0; c < SendOutcomeModel::ColumnCount; ++c)
        table_->setColumnWidth(c, kColumnWidths[c]);

    auto* runBox = new QGroupBox("Validation of what was sent", this);
    runBox->setVisible(run_ != nullptr);
    runProgress_ = new QProgressBar(runBox);
    runProgress_->setObjectName("runProgress");
    runProgress_->setRange(0, kWholeRunPercent);
    runState_ = new QLabel(runBox);
    runState_->setObjectName("runState");
    runState_->setWordWrap(true);
    runSummary_ = new QLabel(runBox);
    runSummary_->setObjectName("runSummary");
    runSummary_->setWordWrap(true);
    auto* runLayout = new QVBoxLayout(runBox);
    runLayout->addWidget(runProgress_);
    runLayout->addWidget(runState_);
    runLayout->addWidget(runSummary_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(chooseRow);
    layout->addWidget(state_);
    layout->addWidget(estimate_);
    layout->addWidget(progress_);
    layout->addWidget(current_);
    layout->addLayout(buttons);
    layout->addWidget(table_, 1);
    layout->addWidget(summary_);
    layout->addWidget(runBox);

    connect(choice_, &QComboBox::currentIndexChanged, this, [this] { plan(); });
    connect(plan_, &QPushButton::clicked, this, [this] { plan(); });
    connect(confirm_, &QPushButton::clicked, this, [this] { sendConfirmed(); });
    connect(cancel_, &QPushButton::clicked, this, [this] { cancelPlan(); });
    connect(stop_, &QPushButton::clicked, this, [this] {
        send_.stop();
        redraw();
    });
    connect(validate_, &QPushButton::clicked, this, [this] { validateSent(); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(refresh_, &QTimer::timeout, this, &SendProgrammingDialog::redraw);
    refresh_->start(kRefreshMs);

    // A send already under way is shown as it goes; otherwise the preset is planned at once.
    if (send_.running()) {
        ownPlan_ = send_.planNumber();
        redraw();
    } else {
        plan();
    }
}

SendProgrammingDialog::~SendProgrammingDialog() {
    // A plan this window made and nobody confirmed would hold the send busy for nothing.
    const SendProgress p = send_.progress();
    if (ownsSend() && (p.planning || p.prepared)) send_.cancel();
}

bool SendProgrammingDialog::ownsSend() const {
    return ownPlan_ && *ownPlan_ == send_.planNumber();
}

SendSelection SendProgrammingDialog::chosen() const {
    const int at = std::clamp(choice_->currentIndex(), 0, static_cast<int>(choices_.size()) - 1);
    return choices_[static_cast<std::size_t>(at)];
}

void SendProgrammingDialog::plan() {
    if (send_.running()) {
        redraw();
        return;
    }
    send_.cancel();
    ownPlan_.reset();
    if (send_.prepare(chosen())) ownPlan_ = send_.planNumber();
    ownRun_ = false;
    idleNote_ = ownPlan_ ? QString() : "Another send is being planned: wait for it or close it.";
    redraw();
}

void SendProgrammingDialog::sendConfirmed() {
    if (ownsSend()) send_.confirm(kTechnicianReason);
    redraw();
}

void SendProgrammingDialog::cancelPlan() {
    if (ownsSend()) send_.cancel();
    ownPlan_.reset();
    idleNote_ = "The plan was dropped: nothing was sent.";
    redraw();
}

void SendProgrammingDialog::validateSent() {
    if (run_ == nullptr) return;
    const std::vector<LocationKey> keys = sentLocations(send_.items());
    if (keys.empty()) return;
    if (run_->start(RunSelection::ofLocations(keys), kTechnicianReason) ==
        ValidationRun::StartResult::AlreadyRunning) {
        runSummary_->setText("A validation run is already under way: stop it or wait for its end.");
        return;
    }
    ownRun_ = true;
    runSummary_->clear();
    redraw();
}

void SendProgrammingDialog::redraw() {
    outcome_->itemsChanged();
    drawSend();
    drawRun();
}

void SendProgrammingDialog::drawSend() {
    const SendProgress p = send_.progress();
    const bool own = ownsSend();
    const bool ended = !send_.busy() && own && send_.lastSummary().has_value();
    choice_->setEnabled(!p.running);
    plan_->setEnabled(!p.running);
    confirm_->setEnabled(p.prepared && own);
    cancel_->setEnabled(own && (p.planning || p.prepared));
    stop_->setEnabled(p.running && !p.stopping);
    if (p.planning) {
        progress_->setRange(0, 0);  // walking the selection: no count to show yet
    } else {
        progress_->setRange(0, std::max(1, barValue(p.total)));
        progress_->setValue(p.running || ended ? barValue(p.done()) : 0);
    }
    if (own && (p.planning || p.prepared || p.running || ended)) {
        state_->setText(text(sendStateLine(p)));
        estimate_->setText(p.planning ? QString() : text(send_.estimate().text()));
    } else {
        state_->setText(!own && send_.busy()
                            ? "Another window has planned or started a send since: plan again "
                              "once it is over."
                            : idleNote_);
        estimate_->clear();
    }
    current_->setText(p.running ? text(sendCurrentLine(p)) : QString());
    summary_->setText(ended ? text(send_.lastSummary()->text()) : QString());
    validate_->setEnabled(run_ != nullptr && ended && !run_->running() &&
                          send_.lastSummary()->sent > 0);
}

void SendProgrammingDialog::drawRun() {
    if (run_ == nullptr || !ownRun_) {
        runProgress_->setValue(0);
        runState_->setText(run_ == nullptr ? QString() : "Not run yet.");
        return;
    }
    const RunProgress p = run_->progress();
    runProgress_->setValue(p.running ? runPercent(p) : kWholeRunPercent);
    runState_->setText(p.running ? text(runStateLine(p)) : QString("Ended."));
    if (!p.running && run_->lastSummary()) runSummary_->setText(text(run_->lastSummary()->text()));
}

SendProgrammingDialog* openSendProgrammingDialog(FleetSend& send, ValidationRun* run,
                                                 SendSelection preset, QWidget* parent) {
    auto* dialog = new SendProgrammingDialog(send, run, std::move(preset), parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}

}  // namespace quirn
