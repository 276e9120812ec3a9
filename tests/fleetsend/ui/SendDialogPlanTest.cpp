// The send window before anything goes: it plans what was chosen and shows the send's own
// estimate for the technician to confirm; Cancel drops the plan; its outcome table stays
// consistent as Qt's model checker sees it while the plan is made, replaced and dropped.
#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QStringList>
#include <QTableView>
#include <string_view>

#include "fleetsend/ui/SendOutcomeModel.h"
#include "tests/fleetsend/ui/SendStationFixture.h"

namespace quirn::test {
namespace {

// Collects what Qt's model checker says is wrong (it reports through Qt's warnings, in a
// category of its own: the offscreen platform's own warnings are not its findings).
class CheckerFindings {
  public:
    CheckerFindings() {
        found().clear();
        previous_ = qInstallMessageHandler(&CheckerFindings::take);
    }
    ~CheckerFindings() { qInstallMessageHandler(previous_); }
    static QStringList& found() {
        static QStringList lines;
        return lines;
    }

  private:
    static void take(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type != QtDebugMsg && context.category != nullptr &&
            std::string_view(context.category) == kCheckerCategory)
            found() << text;
    }
    static constexpr std::string_view kCheckerCategory = "qt.modeltest";
    QtMessageHandler previous_;
};

class SendDialogPlan : public SendStationFixture {
  protected:
    void SetUp() override { ASSERT_TRUE(startFleetStation({})); }
};

TEST_F(SendDialogPlan, TheEstimateShownIsTheSendsAndAnotherChoicePlansAgain) {
    SendProgrammingDialog dialog(send(), app->validationRun(),
                                 SendSelection::ofGroups({{1, 2, 0}}));
    dialog.show();
    // Planning starts as the window opens; nothing can be sent before the estimate is whole.
    EXPECT_TRUE(send().progress().planning);
    EXPECT_EQ(child<QComboBox>(dialog, "choice")->currentText(), "Group 2 of master group 1");
    EXPECT_FALSE(child<QPushButton>(dialog, "send")->isEnabled());
    ASSERT_TRUE(stepUntil(dialog, [&] { return send().planned(); }));
    EXPECT_EQ(label(dialog, "estimate"), send().estimate().text());
    // The group's QN510s as one page message, its MX40 on its own.
    EXPECT_EQ(send().estimate().messages, 2u);
    EXPECT_EQ(send().estimate().groupPages, 1u);
    EXPECT_EQ(send().estimate().radioLocations, 1u);
    EXPECT_NE(label(dialog, "estimate").find("2 messages"), std::string::npos)
        << label(dialog, "estimate");
    EXPECT_EQ(label(dialog, "state"), "Planned: press Send to send it, or Cancel.");
    EXPECT_TRUE(child<QPushButton>(dialog, "send")->isEnabled());
    EXPECT_EQ(dialog.outcome().rowCount(), 2);

    child<QComboBox>(dialog, "choice")->setCurrentText("All locations");
    EXPECT_EQ(send().progress().selection.scope, SendScope::All);
    ASSERT_TRUE(stepUntil(dialog, [&] { return send().planned(); }));
    EXPECT_EQ(send().estimate().messages, 2u * kGroups);
    EXPECT_EQ(label(dialog, "estimate"), send().estimate().text());
    EXPECT_EQ(dialog.outcome().rowCount(), 2 * kGroups);
}

TEST_F(SendDialogPlan, CancelDropsThePlanAndNothingGoes) {
    SendProgrammingDialog dialog(send(), app->validationRun(), SendSelection::all());
    dialog.show();
    ASSERT_TRUE(stepUntil(dialog, [&] { return send().planned(); }));
    child<QPushButton>(dialog, "cancel")->click();
    EXPECT_FALSE(send().busy());
    EXPECT_EQ(label(dialog, "state"), "The plan was dropped: nothing was sent.");
    EXPECT_EQ(label(dialog, "estimate"), "");
    EXPECT_FALSE(child<QPushButton>(dialog, "send")->isEnabled());
    EXPECT_EQ(dialog.outcome().rowCount(), 0);
    // Time goes by and nothing is sent.
    runUntil([] { return false; }, kSendStepMs * 4, [&] { dialog.redraw(); });
    EXPECT_FALSE(send().lastSummary().has_value());
    EXPECT_EQ(systemLog().find("Sending programming"), std::string::npos) << systemLog();
}

TEST_F(SendDialogPlan, ClosingTheWindowDropsAPlanNotConfirmed) {
    {
        SendProgrammingDialog dialog(send(), nullptr, SendSelection::changed());
        EXPECT_FALSE(child<QPushButton>(dialog, "validate")->isVisibleTo(&dialog));
        ASSERT_TRUE(stepUntil(dialog, [&] { return send().planned(); }));
    }
    EXPECT_FALSE(send().busy());
}

TEST_F(SendDialogPlan, TheOutcomeTableStaysConsistentAsPlansComeAndGo) {
    CheckerFindings findings;
    SendProgrammingDialog dialog(send(), app->validationRun(),
                                 SendSelection::ofGroups({{1, 3, 0}}));
    QAbstractItemModelTester tester(&dialog.outcome(),
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    dialog.show();
    ASSERT_TRUE(stepUntil(dialog, [&] { return send().planned(); }));
    const SendOutcomeModel& model = dialog.outcome();
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), SendOutcomeModel::ColumnCount);
    for (int row = 0; row < model.rowCount(); ++row) {
        const SendItem& item = send().items()[static_cast<std::size_t>(row)];
        EXPECT_EQ(model.index(row, SendOutcomeModel::Name).data().toString().toStdString(),
                  item.name);
        EXPECT_EQ(model.index(row, SendOutcomeModel::Link).data().toString(), "radio");
        EXPECT_EQ(model.index(row, SendOutcomeModel::Status).data().toString(), "waiting");
        EXPECT_EQ(model.index(row, SendOutcomeModel::Bytes).data().toULongLong(), item.bytes);
    }
    EXPECT_FALSE(model.index(2, 0).data().isValid());
    EXPECT_EQ(model.headerData(SendOutcomeModel::Reason, Qt::Horizontal).toString(), "Reason");
    // A bigger plan, then none, then the first again: the view hears of each (its header
    // counts the rows it was told of).
    const QHeaderView& rowsSeen = *child<QTableView>(dialog, "outcome")->verticalHeader();
    EXPECT_EQ(rowsSeen.count(), 2);
    child<QComboBox>(dialog, "choice")->setCurrentText("All locations");
    ASSERT_TRUE(stepUntil(dialog, [&] { return send().planned(); }));
    EXPECT_EQ(model.rowCount(), 2 * kGroups);
    EXPECT_EQ(rowsSeen.count(), 2 * kGroups);
    child<QPushButton>(dialog, "cancel")->click();
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(rowsSeen.count(), 0);
    child<QComboBox>(dialog, "choice")->setCurrentIndex(0);
    ASSERT_TRUE(stepUntil(dialog, [&] { return send().planned(); }));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(rowsSeen.count(), 2);
    EXPECT_TRUE(findings.found().isEmpty()) << findings.found().join("\n").toStdString();
}

}  // namespace
}  // namespace quirn::test
