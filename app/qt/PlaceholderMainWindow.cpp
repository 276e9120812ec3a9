#include "app/qt/PlaceholderMainWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "app/StationApp.h"
#include "platform/Paths.h"

namespace quirn {

namespace {
constexpr int kComeForwardPollMs = 500;
}

PlaceholderMainWindow::PlaceholderMainWindow(StationApp& app)
    : QDialog(nullptr), app_(app), status_(new QLabel(this)) {
    setWindowTitle(kCaption);
    auto* layout = new QVBoxLayout(this);
    const PlanDatabase& db = app_.database();
    status_->setText(QString("Working folder: %1\n%2 groups, %3 locations loaded.")
                         .arg(QString::fromStdString(workingFolder()))
                         .arg(db.allGroups().size())
                         .arg(db.locationCount()));
    layout->addWidget(status_);
    auto* done = new QPushButton("Done", this);
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(done);
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [this] {
        if (app_.takeComeForwardRequest()) comeForward();
    });
    poll->start(kComeForwardPollMs);
}

void PlaceholderMainWindow::comeForward() {
    showNormal();
    raise();
    activateWindow();
}

}  // namespace quirn
