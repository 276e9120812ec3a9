#include "validationrun/ui/ValidationRunPanel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "validationrun/RunProgressText.h"
#include "validationrun/ValidationRun.h"

namespace quirn {

namespace {
constexpr int kMaxMasterGroup = 10;
constexpr int kMaxGroup = 99;
// The progress bar counts in percent of the selection.
constexpr int kWholeRunPercent = 100;
constexpr const char* kTechnicianReason = "by the technician";

// The scope choices, in the order of the list.
struct ScopeChoice {
    RunScope scope;
    const char* text;
};
constexpr ScopeChoice kScopes[] = {
    {RunScope::All, "All locations"},
    {RunScope::MasterGroup, "One master group"},
    {RunScope::Group, "One group"},
    {RunScope::Failing, "Failing locations"},
};

QString text(const std::string& s) {
    return QString::fromStdString(s);
}
}  // namespace

ValidationRunPanel::ValidationRunPanel(ValidationRun& run, QWidget* parent)
    : QWidget(parent), run_(run), refresh_(new QTimer(this)) {
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    scope_ = new QComboBox(this);
    scope_->setObjectName("scope");
    for (const ScopeChoice& c : kScopes) scope_->addItem(c.text);
    masterGroup_ = new QSpinBox(this);
    masterGroup_->setObjectName("masterGroup");
    masterGroup_->setRange(1, kMaxMasterGroup);
    group_ = new QSpinBox(this);
    group_->setObjectName("group");
    group_->setRange(1, kMaxGroup);
    form->addRow("Read:", scope_);
    form->addRow("Master group:", masterGroup_);
    form->addRow("Group:", group_);
    layout->addLayout(form);

    auto* buttons = new QHBoxLayout;
    start_ = new QPushButton("Start", this);
    start_->setObjectName("start");
    stop_ = new QPushButton("Stop", this);
    stop_->setObjectName("stop");
    buttons->addWidget(start_);
    buttons->addWidget(stop_);
    buttons->addStretch(1);
    layout->addLayout(buttons);

    progress_ = new QProgressBar(this);
    progress_->setObjectName("progress");
    progress_->setRange(0, kWholeRunPercent);
    layout->addWidget(progress_);
    for (QLabel** label : {&state_, &current_, &counts_, &summary_}) {
        *label = new QLabel(this);
        (*label)->setWordWrap(true);
        layout->addWidget(*label);
    }
    state_->setObjectName("state");
    current_->setObjectName("current");
    counts_->setObjectName("counts");
    summary_->setObjectName("summary");
    layout->addStretch(1);

    connect(scope_, &QComboBox::currentIndexChanged, this, [this] { showScopeFields(); });
    connect(start_, &QPushButton::clicked, this, [this] { start(); });
    connect(stop_, &QPushButton::clicked, this, [this] {
        run_.stop();
        redraw();
    });
    connect(refresh_, &QTimer::timeout, this, &ValidationRunPanel::redraw);
    refresh_->start(kRefreshMs);
    showScopeFields();
    redraw();
}

void ValidationRunPanel::showScopeFields() {
    const RunScope scope = kScopes[std::max(0, scope_->currentIndex())].scope;
    masterGroup_->setEnabled(scope == RunScope::MasterGroup || scope == RunScope::Group);
    group_->setEnabled(scope == RunScope::Group);
}

void ValidationRunPanel::start() {
    const RunScope scope = kScopes[std::max(0, scope_->currentIndex())].scope;
    RunSelection selection{scope, masterGroup_->value(), group_->value(), nullptr};
    if (run_.start(selection, kTechnicianReason) == ValidationRun::StartResult::AlreadyRunning)
        summary_->setText("A run is already under way: stop it or wait for its end.");
    else
        summary_->clear();
    redraw();
}

void ValidationRunPanel::redraw() {
    const RunProgress p = run_.progress();
    start_->setEnabled(!p.running);
    stop_->setEnabled(p.running && !p.stopping);
    scope_->setEnabled(!p.running);
    progress_->setValue(p.running ? runPercent(p) : (run_.lastSummary() ? kWholeRunPercent : 0));
    state_->setText(text(runStateLine(p)));
    current_->setText(text(runCurrentLine(p)));
    counts_->setText(p.running ? text(p.counts.text()) : QString());
    if (!p.running && run_.lastSummary()) summary_->setText(text(run_.lastSummary()->text()));
}

}  // namespace quirn
