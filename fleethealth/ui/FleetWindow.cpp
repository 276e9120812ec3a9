#include "fleethealth/ui/FleetWindow.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "fleethealth/FleetRowTexts.h"
#include "fleethealth/FleetSummary.h"
#include "fleethealth/ui/FleetTableModel.h"
#include "fleethealth/ui/OffsetChartWidget.h"
#include "loader/ui/LoaderWindow.h"
#include "platform/Clock.h"

namespace quirn {

namespace {
constexpr const char* kCaption = "Fleet";
constexpr int kWindowWidth = 1300;
constexpr int kWindowHeight = 720;
constexpr int kRowHeight = 22;
constexpr int kTableStretch = 3;
constexpr int kChartStretch = 1;
// Fixed column widths: measuring the contents would visit every row of the fleet.
constexpr int kColumnWidths[kFleetColumnCount] = {110, 50,  64, 150, 60, 110,
                                                  115, 280, 90, 96,  70, 96};

QString summaryText(const FleetSummary& s) {
    return QString(
               "%1 locations: %2 validated, %3 wrong clock, %4 program differs, %5 not "
               "reachable, %6 drifting")
        .arg(s.locations)
        .arg(s.validated)
        .arg(s.wrongClock)
        .arg(s.programDiffers)
        .arg(s.notReachable)
        .arg(s.drifting);
}
}  // namespace

FleetWindow::FleetWindow(FleetWindowServices services, QWidget* parent)
    : QDialog(parent), services_(services) {
    setWindowTitle(kCaption);
    setObjectName("fleetWindow");
    resize(kWindowWidth, kWindowHeight);

    filter_ = new QComboBox(this);
    filter_->setObjectName("filter");
    for (FleetFilter f : kFleetFilters) filter_->addItem(fleetFilterText(f), static_cast<int>(f));
    find_ = new QLineEdit(this);
    find_->setObjectName("find");
    find_->setPlaceholderText(tr("Find by name"));
    auto* findButton = new QPushButton(tr("Find next"), this);
    findButton->setObjectName("findNext");
    auto* refreshButton = new QPushButton(tr("Refresh"), this);
    refreshButton->setObjectName("refresh");
    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(tr("Show:"), this));
    bar->addWidget(filter_);
    bar->addSpacing(kRowHeight);
    bar->addWidget(find_, 1);
    bar->addWidget(findButton);
    bar->addWidget(refreshButton);
    if (services_.sendProgramming) {
        auto* send = new QPushButton(QString::fromUtf8("Send programming\u2026"), this);
        send->setObjectName("sendProgramming");
        bar->addWidget(send);
        connect(send, &QPushButton::clicked, this,
                [this] { services_.sendProgramming(this, locationsToSend()); });
    }

    summary_ = new QLabel(this);
    summary_->setObjectName("summary");

    model_ = new FleetTableModel(rows_, this);
    table_ = new QTableView(this);
    table_->setObjectName("fleetTable");
    table_->setModel(model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows can be picked, for a send to those locations.
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setSortingEnabled(true);
    table_->horizontalHeader()->setSortIndicator(0, Qt::AscendingOrder);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(kRowHeight);
    table_->verticalHeader()->hide();
    table_->setWordWrap(false);
    for (int c = 0; c < kFleetColumnCount; ++c) table_->setColumnWidth(c, kColumnWidths[c]);

    chart_ = new OffsetChartWidget(this);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(table_);
    split->addWidget(chart_);
    split->setStretchFactor(0, kTableStretch);
    split->setStretchFactor(1, kChartStretch);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(summary_);
    layout->addWidget(split, 1);

    connect(filter_, &QComboBox::currentIndexChanged, this, [this](int index) {
        setFilter(static_cast<FleetFilter>(filter_->itemData(index).toInt()));
    });
    connect(findButton, &QPushButton::clicked, this, [this] { findNext(find_->text()); });
    connect(find_, &QLineEdit::returnPressed, this, [this] { findNext(find_->text()); });
    connect(refreshButton, &QPushButton::clicked, this, &FleetWindow::refresh);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { showChartOfRow(current.row()); });
    refresh();
}

FleetWindow::~FleetWindow() = default;

void FleetWindow::refresh() {
    const std::vector<LocationHealth> health = services_.history
                                                   ? services_.history->latestOfEveryLocation()
                                                   : std::vector<LocationHealth>{};
    rows_.build(services_.db, health, services_.errors, services_.clock.now());
    model_->rowsRebuilt();
    updateFilterTexts();
    summary_->setText(summaryText(summarizeFleet(rows_.all(), rows_.now())));
}

void FleetWindow::updateFilterTexts() {
    for (int i = 0; i < filter_->count(); ++i) {
        const auto f = static_cast<FleetFilter>(filter_->itemData(i).toInt());
        filter_->setItemText(i, QString("%1 (%2)").arg(fleetFilterText(f)).arg(rows_.countOf(f)));
    }
}

void FleetWindow::setFilter(FleetFilter filter) {
    const int index = filter_->findData(static_cast<int>(filter));
    if (index >= 0 && index != filter_->currentIndex()) {
        filter_->setCurrentIndex(index);  // comes back here through the signal
        return;
    }
    model_->setFilter(filter);
    chart_->setHistory({}, {});
}

bool FleetWindow::findNext(const QString& text) {
    const QModelIndex current = table_->currentIndex();
    std::optional<std::size_t> after;
    if (current.isValid()) after = static_cast<std::size_t>(current.row());
    const auto found = rows_.find(text.toStdString(), after);
    if (!found) return false;
    const QModelIndex index = model_->index(static_cast<int>(*found), 0);
    table_->setCurrentIndex(index);
    table_->scrollTo(index);
    return true;
}

bool FleetWindow::pick(int masterGroup, int group, int location) {
    const auto found = rows_.visibleIndexOf(masterGroup, group, location);
    if (!found) return false;
    const QModelIndex index = model_->index(static_cast<int>(*found), 0);
    table_->setCurrentIndex(index);
    table_->scrollTo(index);
    return true;
}

std::vector<LocationKey> FleetWindow::locationsToSend() const {
    std::vector<LocationKey> keys;
    auto add = [&](std::size_t visibleRow) {
        if (visibleRow >= rows_.visibleCount()) return;
        const FleetRow& r = rows_.visible(visibleRow);
        keys.push_back({r.masterGroup, r.group, r.location});
    };
    // Ranges, not indexes: a selection of the whole fleet is a few ranges of 98,010 rows.
    for (const QItemSelectionRange& range : table_->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            add(static_cast<std::size_t>(row));
    if (keys.empty())
        for (std::size_t row = 0; row < rows_.visibleCount(); ++row) add(row);
    return keys;
}

void FleetWindow::showChartOfRow(int visibleRow) {
    if (visibleRow < 0 || static_cast<std::size_t>(visibleRow) >= rows_.visibleCount()) {
        chart_->setHistory({}, {});
        return;
    }
    const FleetRow& r = rows_.visible(static_cast<std::size_t>(visibleRow));
    LocationOffsetHistory history;
    if (services_.history)
        history = offsetHistoryOf(
            services_.history->locationHistory({r.masterGroup, r.group, r.location}, 0));
    QString title = QString("%1 (%2/%3/%4): clock offset")
                        .arg(QString::fromStdString(r.name))
                        .arg(r.masterGroup)
                        .arg(r.group)
                        .arg(r.location);
    if (r.driftSecondsPerDay)
        title += QString(", drift %1").arg(QString::fromStdString(fleetDriftText(r)));
    chart_->setHistory(std::move(history), title);
}

FleetWindow* openFleetWindow(FleetWindowServices services, QWidget* parent) {
    auto* window = new FleetWindow(services, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

void attachFleetWindow(LoaderWindow& loader, FleetWindowServices services) {
    loader.setFleetAction([&loader, services] { openFleetWindow(services, &loader); });
}

}  // namespace quirn
