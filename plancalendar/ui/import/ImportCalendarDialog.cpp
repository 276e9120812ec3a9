#include "plancalendar/ui/import/ImportCalendarDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <sstream>

#include "plancalendar/GroupCalendarMarks.h"
#include "plancalendar/import/ImportActionChoices.h"
#include "plancalendar/import/ImportPreview.h"
#include "planedit/PlanEditor.h"
#include "plans/PlanDatabase.h"
#include "platform/Clock.h"
#include "schoolyear/CalendarApply.h"
#include "schoolyear/CalendarReader.h"

namespace quirn::plancalendar {

namespace {

enum Column { kSummary, kEvents, kFirstDay, kBecomes, kConfirmed, kColumnCount };
constexpr const char* kChoose = "(choose)";
const QColor kUnknownRow(255, 224, 224);
// The preview highlights holidays; vacations and day plans show by their marks.
const std::vector<std::int16_t> kPreviewActivePlan{kHighlightAllOff, kMarkHoliday};

QString groupListText(const std::vector<GroupKey>& groups) {
    QStringList items;
    for (const GroupKey& g : groups)
        items << QStringLiteral("%1:%2").arg(g.masterGroup).arg(g.group);
    return items.join(QLatin1Char(','));
}

QString dateText(const CalendarDate& d) {
    return QString::fromStdString(d.iso());
}

}  // namespace

ImportCalendarDialog::ImportCalendarDialog(PlanEditor& editor, const PlanDatabase& db,
                                           const Clock& clock,
                                           const CalendarHostOptions& hostOptions,
                                           const std::vector<GroupKey>& selectedGroups,
                                           QWidget* parent)
    : QDialog(parent), editor_(editor), db_(db), clock_(clock) {
    setWindowTitle(tr("Import school calendar"));
    before_ = makeCalendarHost(this, hostOptions);
    after_ = makeCalendarHost(this, hostOptions);
    buildLayout();
    groupList_->setText(groupListText(selectedGroups));
    replan();
}

ImportCalendarDialog::~ImportCalendarDialog() {
    // The controls go before the widgets they sit among.
    before_.reset();
    after_.reset();
}

void ImportCalendarDialog::buildLayout() {
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto* fileRow = new QHBoxLayout;
    file_ = new QLineEdit(this);
    file_->setObjectName(QStringLiteral("importFile"));
    file_->setPlaceholderText(tr("A district's calendar: .ics or .csv"));
    auto* choose = new QPushButton(tr("Choose..."), this);
    auto* read = new QPushButton(tr("Read"), this);
    read->setObjectName(QStringLiteral("readFile"));
    fileRow->addWidget(file_, 1);
    fileRow->addWidget(choose);
    fileRow->addWidget(read);
    form->addRow(tr("File"), fileRow);
    groupList_ = new QLineEdit(this);
    groupList_->setObjectName(QStringLiteral("importGroups"));
    groupList_->setPlaceholderText(tr("master group:group, ... (1:4,1:5)"));
    form->addRow(tr("Groups"), groupList_);
    layout->addLayout(form);
    readStatus_ = new QLabel(this);
    readStatus_->setObjectName(QStringLiteral("importReadStatus"));
    readStatus_->setWordWrap(true);
    layout->addWidget(readStatus_);

    mapping_ = new QTableWidget(0, kColumnCount, this);
    mapping_->setObjectName(QStringLiteral("importMapping"));
    mapping_->setHorizontalHeaderLabels(
        {tr("Summary"), tr("Events"), tr("First day"), tr("Becomes"), tr("Confirmed")});
    mapping_->horizontalHeader()->setSectionResizeMode(kSummary, QHeaderView::Stretch);
    mapping_->verticalHeader()->hide();
    layout->addWidget(mapping_, 1);

    auto* previewRow = new QHBoxLayout;
    previewRow->addWidget(new QLabel(tr("Preview of group"), this));
    previewGroup_ = new QComboBox(this);
    previewGroup_->setObjectName(QStringLiteral("previewGroup"));
    previewRow->addWidget(previewGroup_, 1);
    layout->addLayout(previewRow);
    auto* calendars = new QGridLayout;
    calendars->addWidget(new QLabel(tr("Before"), this), 0, 0);
    calendars->addWidget(new QLabel(tr("After"), this), 0, 1);
    calendars->addWidget(before_->widget(), 1, 0);
    calendars->addWidget(after_->widget(), 1, 1);
    before_->widget()->setObjectName(QStringLiteral("previewBefore"));
    after_->widget()->setObjectName(QStringLiteral("previewAfter"));
    calendars->setRowStretch(1, 1);
    layout->addLayout(calendars, 3);

    layout->addWidget(new QLabel(tr("Changes"), this));
    changes_ = new QListWidget(this);
    changes_->setObjectName(QStringLiteral("importChanges"));
    layout->addWidget(changes_, 1);
    auto* buttons = new QHBoxLayout;
    applyStatus_ = new QLabel(this);
    applyStatus_->setObjectName(QStringLiteral("importApplyStatus"));
    applyStatus_->setWordWrap(true);
    buttons->addWidget(applyStatus_, 1);
    apply_ = new QPushButton(tr("Apply"), this);
    apply_->setObjectName(QStringLiteral("applyImport"));
    auto* close = new QPushButton(tr("Close"), this);
    buttons->addWidget(apply_);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(choose, &QPushButton::clicked, this, [this] { chooseFile(); });
    connect(read, &QPushButton::clicked, this, [this] { readFile(); });
    connect(groupList_, &QLineEdit::textChanged, this, [this] { replan(); });
    connect(previewGroup_, &QComboBox::currentIndexChanged, this, [this] { showPreview(); });
    connect(apply_, &QPushButton::clicked, this, [this] { apply(); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void ImportCalendarDialog::chooseFile() {
    const QString path = QFileDialog::getOpenFileName(this, tr("School calendar"), file_->text(),
                                                      tr("School calendars (*.ics *.csv)"));
    if (path.isEmpty()) return;
    file_->setText(path);
    readFile();
}

bool ImportCalendarDialog::readFile() {
    const CalendarReadResult read =
        readCalendarFile(file_->text().toStdString(), defaultCalendarWindow(clock_.now()));
    events_ = read.ok() ? read.events : std::vector<CalendarEvent>{};
    rows_ = mappingRows(events_);
    readStatus_->setText(read.ok() ? tr("%1 events, %2 different summaries")
                                         .arg(static_cast<int>(events_.size()))
                                         .arg(static_cast<int>(rows_.size()))
                                   : QString::fromStdString(read.error));
    fillMappingTable();
    replan();
    return read.ok();
}

void ImportCalendarDialog::fillMappingTable() {
    mapping_->setRowCount(0);
    const std::vector<CalendarAction> choices = importActionChoices();
    for (size_t r = 0; r < rows_.size(); ++r) {
        const MappingRow& row = rows_[r];
        const int i = static_cast<int>(r);
        mapping_->insertRow(i);
        mapping_->setItem(i, kSummary, new QTableWidgetItem(QString::fromStdString(row.summary)));
        mapping_->setItem(i, kEvents, new QTableWidgetItem(QString::number(row.events)));
        mapping_->setItem(i, kFirstDay, new QTableWidgetItem(dateText(row.firstDay)));
        auto* becomes = new QComboBox(mapping_);
        becomes->addItem(tr(kChoose));
        for (const CalendarAction& action : choices)
            becomes->addItem(QString::fromStdString(actionText(action)));
        auto* confirmed = new QCheckBox(row.suggestion ? tr("suggested") : tr("unknown"), mapping_);
        if (row.suggestion) {
            if (std::optional<int> index = importActionIndex(*row.suggestion))
                becomes->setCurrentIndex(*index + 1);
        } else {
            for (int c = kSummary; c <= kFirstDay; ++c)
                mapping_->item(i, c)->setBackground(kUnknownRow);
        }
        mapping_->setCellWidget(i, kBecomes, becomes);
        mapping_->setCellWidget(i, kConfirmed, confirmed);
        // Choosing an action is confirming it; a suggestion waits for the tick.
        connect(becomes, &QComboBox::activated, this,
                [confirmed, becomes] { confirmed->setChecked(becomes->currentIndex() > 0); });
        connect(confirmed, &QCheckBox::toggled, this, [this, confirmed](bool on) {
            confirmed->setText(on ? tr("confirmed") : tr("not confirmed"));
            replan();
        });
        connect(becomes, &QComboBox::currentIndexChanged, this, [this] { replan(); });
    }
    mapping_->resizeColumnsToContents();
}

CalendarMapping ImportCalendarDialog::confirmedMapping() const {
    CalendarMapping mapping;
    const std::vector<CalendarAction> choices = importActionChoices();
    for (int i = 0; i < mapping_->rowCount() && i < static_cast<int>(rows_.size()); ++i) {
        auto* becomes = qobject_cast<QComboBox*>(mapping_->cellWidget(i, kBecomes));
        auto* confirmed = qobject_cast<QCheckBox*>(mapping_->cellWidget(i, kConfirmed));
        if (!becomes || !confirmed || !confirmed->isChecked() || becomes->currentIndex() < 1)
            continue;
        mapping.set(rows_[static_cast<size_t>(i)].summary,
                    choices[static_cast<size_t>(becomes->currentIndex() - 1)]);
    }
    return mapping;
}

void ImportCalendarDialog::replan() {
    std::string error;
    const std::optional<std::vector<GroupRef>> groups =
        parseGroupList(groupList_->text().toStdString(), &error);
    groups_ = groups.value_or(std::vector<GroupRef>{});
    plan_ = planCalendarChanges(db_, groups_, events_, confirmedMapping(), clock_.now());

    changes_->clear();
    if (!groups && !groupList_->text().trimmed().isEmpty())
        changes_->addItem(QString::fromStdString(error));
    for (const CalendarChange& change : plan_.changes)
        changes_->addItem(QString::fromStdString(calendarChangeLine(db_, change)));
    for (const CalendarEvent& event : plan_.unmapped)
        changes_->addItem(tr("Not mapped: %1 (%2)")
                              .arg(QString::fromStdString(event.summary), dateText(event.first)));
    for (const std::string& refusal : plan_.refusals)
        changes_->addItem(tr("Refused: %1").arg(QString::fromStdString(refusal)));
    for (const std::string& note : plan_.notes)
        changes_->addItem(tr("Note: %1").arg(QString::fromStdString(note)));
    apply_->setEnabled(!groups_.empty() && !plan_.changes.empty() && plan_.applicable());

    const QString kept = previewGroup_->currentText();
    const QSignalBlocker blocker(previewGroup_);
    previewGroup_->clear();
    for (const GroupRef& g : groups_)
        previewGroup_->addItem(QStringLiteral("%1:%2").arg(g.masterGroup).arg(g.group));
    const int keptIndex = previewGroup_->findText(kept);
    previewGroup_->setCurrentIndex(keptIndex >= 0 ? keptIndex : 0);
    showPreview();
}

void ImportCalendarDialog::showPreview() {
    const int index = previewGroup_->currentIndex();
    const Group* group = index >= 0 && index < static_cast<int>(groups_.size())
                             ? db_.findGroup(groups_[static_cast<size_t>(index)].masterGroup,
                                             groups_[static_cast<size_t>(index)].group)
                             : nullptr;
    const CalendarSpan span = shownSpan(clock_.now());
    showMarks(*before_, group ? groupCalendarMarks(*group, span) : std::vector<CalendarMark>{},
              kPreviewActivePlan);
    showMarks(*after_,
              group ? marksAfterChanges(*group, plan_.changes, span) : std::vector<CalendarMark>{},
              kPreviewActivePlan);
}

void ImportCalendarDialog::apply() {
    if (!plan_.applicable() || plan_.changes.empty()) return;
    std::vector<GroupKey> keys;
    for (const GroupRef& g : groups_) keys.push_back({g.masterGroup, g.group});
    const std::vector<CalendarChange> changes = plan_.changes;
    const EditOutcome outcome =
        editor_.change("import school calendar", keys, [&changes](PlanDatabase& db) {
            const CalendarApplyResult result = applyCalendarChanges(db, changes);
            return result.ok() ? EditOutcome::accepted(result.applied)
                               : EditOutcome::refused(result.refusal);
        });
    if (!outcome) {
        applyStatus_->setText(QString::fromStdString(outcome.refusal));
        return;
    }
    applyStatus_->setText(tr("Applied %1 changes.").arg(static_cast<int>(changes.size())));
    accept();
}

}  // namespace quirn::plancalendar
