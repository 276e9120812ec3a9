#include "planedit/ui/CopyProgrammingDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <vector>

#include "planedit/ui/PlansWindow.h"
#include "plans/PlanDatabase.h"

namespace quirn {

namespace {
constexpr int kMasterGroupRole = Qt::UserRole;
constexpr int kGroupRole = Qt::UserRole + 1;
}  // namespace

CopyProgrammingDialog::CopyProgrammingDialog(PlansWindow& window, GroupKey from, QWidget* parent)
    : QDialog(parent), window_(window), from_(from) {
    setObjectName("copyProgrammingDialog");
    const PlanDatabase& db = window.services().database;
    const bool masterGroups = window.editor().hasMasterGroups();
    const Group* source = db.findGroup(from.masterGroup, from.group);
    setWindowTitle(QString::fromStdString("Copy the programming of " +
                                          (source ? source->title(masterGroups) : std::string())));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Give these groups the same day plans, weeks and dated plans:"));
    targets_ = new QListWidget(this);
    targets_->setObjectName("targets");
    // Rows of one height are laid out without measuring each of an agency's 989 other groups.
    targets_->setUniformItemSizes(true);
    for (const Group* g : db.allGroups()) {
        if (g->masterGroup() == from.masterGroup && g->number() == from.group) continue;
        auto* item = new QListWidgetItem(QString::fromStdString(g->title(masterGroups)), targets_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setData(kMasterGroupRole, g->masterGroup());
        item->setData(kGroupRole, g->number());
    }
    layout->addWidget(targets_, 1);
    problem_ = new QLabel(this);
    problem_->setObjectName("copyProblem");
    problem_->setWordWrap(true);
    layout->addWidget(problem_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton* copy = buttons->addButton("Copy", QDialogButtonBox::AcceptRole);
    copy->setObjectName("copy");
    layout->addWidget(buttons);
    connect(copy, &QPushButton::clicked, this, &CopyProgrammingDialog::copy);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void CopyProgrammingDialog::copy() {
    std::vector<GroupKey> to;
    for (int i = 0; i < targets_->count(); ++i) {
        const QListWidgetItem* item = targets_->item(i);
        if (item->checkState() == Qt::Checked)
            to.push_back(
                GroupKey{item->data(kMasterGroupRole).toInt(), item->data(kGroupRole).toInt()});
    }
    if (to.empty()) {
        problem_->setText("Tick the groups to copy to.");
        return;
    }
    const EditOutcome outcome = window_.editor().copyProgramming(from_, to);
    if (!outcome) {
        problem_->setText(QString::fromStdString(outcome.refusal));
        return;
    }
    window_.say("Programming copied to " + std::to_string(to.size()) +
                (to.size() == 1 ? " group." : " groups."));
    accept();
}

}  // namespace quirn
