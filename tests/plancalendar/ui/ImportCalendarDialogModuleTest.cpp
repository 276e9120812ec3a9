#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "CalendarClicks.h"
#include "plancalendar/ui/import/ImportCalendarDialog.h"
#include "planedit/PlanEditor.h"
#include "plans/Group.h"
#include "plans/OverrideStore.h"
#include "plans/PlanDatabase.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "tests/support/TempFolder.h"

namespace quirn::plancalendar {
namespace {

constexpr int kEarlyRelease = 3;

// A small district calendar: a holiday whose words suggest nothing, a break and a no-school
// day whose words suggest a vacation and a holiday, and a weekly early release in September.
constexpr const char* kDistrictIcs =
    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Example District//EN\r\n"
    "BEGIN:VEVENT\r\nUID:labor@d\r\nDTSTAMP:20270601T120000Z\r\n"
    "DTSTART;VALUE=DATE:20270906\r\nSUMMARY:Labor Day\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:thanks@d\r\nDTSTAMP:20270601T120000Z\r\n"
    "DTSTART;VALUE=DATE:20271124\r\nDTEND;VALUE=DATE:20271127\r\n"
    "SUMMARY:Thanksgiving Break\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:inst@d\r\nDTSTAMP:20270601T120000Z\r\n"
    "DTSTART;VALUE=DATE:20271022\r\nSUMMARY:Teacher Institute - No School\r\nEND:VEVENT\r\n"
    "BEGIN:VEVENT\r\nUID:early@d\r\nDTSTAMP:20270601T120000Z\r\n"
    "DTSTART;VALUE=DATE:20270908\r\nDTEND;VALUE=DATE:20270909\r\n"
    "RRULE:FREQ=WEEKLY;BYDAY=WE;UNTIL=20270929\r\nSUMMARY:Early Release\r\nEND:VEVENT\r\n"
    "END:VCALENDAR\r\n";

bool isBlack(QRgb p) {
    return qRed(p) < 40 && qGreen(p) < 40 && qBlue(p) < 40;
}

class ImportCalendarDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int g : {4, 5}) {
            Group& group = db.group(1, g);
            group.dayPlan(1);
            group.dayPlan(kEarlyRelease);
            group.setDayPlanName(kEarlyRelease, "Early release");
        }
        ASSERT_TRUE(quirn::test::writeFile(folder.file("district.ics"), kDistrictIcs));
        dialog = std::make_unique<ImportCalendarDialog>(
            editor, db, clock, CalendarHostOptions{VORNCAL_MODULE_PATH, &clock},
            std::vector<GroupKey>{{1, 4}, {1, 5}});
        dialog->resize(1100, 1000);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    template <typename T>
    T* child(const char* name) {
        T* w = dialog->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    int rowOf(const QString& summary) {
        auto* table = child<QTableWidget>("importMapping");
        for (int r = 0; r < table->rowCount(); ++r)
            if (table->item(r, 0)->text() == summary) return r;
        ADD_FAILURE() << "no row " << summary.toStdString();
        return 0;
    }
    QComboBox* becomes(const QString& summary) {
        return qobject_cast<QComboBox*>(
            child<QTableWidget>("importMapping")->cellWidget(rowOf(summary), 3));
    }
    QCheckBox* confirmed(const QString& summary) {
        return qobject_cast<QCheckBox*>(
            child<QTableWidget>("importMapping")->cellWidget(rowOf(summary), 4));
    }
    void map(const QString& summary, const QString& action) {
        QComboBox* box = becomes(summary);
        box->setCurrentIndex(box->findText(action));
        if (!confirmed(summary)->isChecked())
            QTest::mouseClick(confirmed(summary), Qt::LeftButton, {}, QPoint(6, 6));
    }
    bool holidayShown(const char* preview, int y, int m, int d) {
        QWidget* control = child<QWidget>(preview)->findChild<QWidget*>("calendarControl");
        const QImage image = control->grab().toImage();
        return isBlack(image.pixel(test::blankPoint(*control, clock.now(), y, m, d).value()));
    }
    int annualPlanOn(int g, int y, int m, int d) const {
        const AnnualPlan* plan = db.findGroup(1, g)->annualPlanOn(fromLocal(y, m, d));
        return plan ? plan->plan : -1;
    }

    quirn::test::TempFolder folder;
    ManualClock clock{fromLocal(2027, 8, 15, 10, 0)};
    PlanDatabase db;
    OverrideStore overrides{clock, folder.workingFolder()};
    SummerPlanStore summer{clock, folder.workingFolder()};
    PlanEditor editor{db, overrides, summer, clock, folder.workingFolder(), false};
    std::unique_ptr<ImportCalendarDialog> dialog;
};

TEST_F(ImportCalendarDialogTest, SuggestionsWaitForConfirmationAndUnknownSummariesAreMarked) {
    child<QLineEdit>("importFile")->setText(QString::fromStdString(folder.file("district.ics")));
    QTest::mouseClick(child<QPushButton>("readFile"), Qt::LeftButton);
    EXPECT_EQ(child<QTableWidget>("importMapping")->rowCount(), 4)
        << child<QLabel>("importReadStatus")->text().toStdString();
    EXPECT_EQ(becomes("Thanksgiving Break")->currentText().toStdString(), "Vacation");
    EXPECT_FALSE(confirmed("Thanksgiving Break")->isChecked());
    EXPECT_EQ(becomes("Labor Day")->currentIndex(), 0) << "nothing is guessed";
    EXPECT_EQ(confirmed("Labor Day")->text().toStdString(), "unknown");
    EXPECT_FALSE(child<QPushButton>("applyImport")->isEnabled());
    auto* changes = child<QListWidget>("importChanges");
    EXPECT_FALSE(changes->findItems("Not mapped: Labor Day", Qt::MatchStartsWith).isEmpty());
    EXPECT_FALSE(
        changes->findItems("Not mapped: Thanksgiving Break", Qt::MatchStartsWith).isEmpty())
        << "a suggestion counts only once confirmed";
    EXPECT_TRUE(dialog->changePlan().changes.empty());
}

TEST_F(ImportCalendarDialogTest, ConfirmedMappingPreviewsBeforeAndAfterThenAppliesAsOneStep) {
    child<QLineEdit>("importFile")->setText(QString::fromStdString(folder.file("district.ics")));
    ASSERT_TRUE(dialog->readFile());
    map("Labor Day", "Holiday");
    map("Thanksgiving Break", "Vacation");
    map("Teacher Institute - No School", "Holiday");
    map("Early Release", "Day plan 3");
    ASSERT_TRUE(dialog->changePlan().applicable());
    // Two holidays, one break and four Wednesdays, for each of the two groups.
    EXPECT_EQ(dialog->changePlan().changes.size(), 14u);
    EXPECT_EQ(child<QListWidget>("importChanges")->count(), 14);
    EXPECT_TRUE(child<QPushButton>("applyImport")->isEnabled());

    EXPECT_FALSE(holidayShown("previewBefore", 2027, 9, 6));
    EXPECT_TRUE(holidayShown("previewAfter", 2027, 9, 6));
    EXPECT_TRUE(holidayShown("previewAfter", 2027, 10, 22));
    EXPECT_FALSE(holidayShown("previewAfter", 2027, 9, 8)) << "an early release is no holiday";
    test::saveScreenshotIfAsked(*dialog, "plans-import.png");

    QTest::mouseClick(child<QPushButton>("applyImport"), Qt::LeftButton);
    EXPECT_EQ(annualPlanOn(4, 2027, 9, 6), kPlanHoliday)
        << child<QLabel>("importApplyStatus")->text().toStdString();
    EXPECT_EQ(annualPlanOn(5, 2027, 9, 15), kEarlyRelease);
    EXPECT_EQ(db.findGroup(1, 5)->vacationPlans().size(), 1u);
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(annualPlanOn(4, 2027, 9, 6), -1) << "one Undo takes the whole import back";
    EXPECT_EQ(annualPlanOn(5, 2027, 9, 15), -1);
    EXPECT_TRUE(db.findGroup(1, 5)->vacationPlans().empty());
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(ImportCalendarDialogTest, AHostileFileGivesOneErrorAndNothingToApply) {
    ASSERT_TRUE(quirn::test::writeFile(folder.file("broken.ics"),
                                       std::string("BEGIN:VCALENDAR\r\n\0\x01\x02garbage", 27)));
    child<QLineEdit>("importFile")->setText(QString::fromStdString(folder.file("broken.ics")));
    EXPECT_FALSE(dialog->readFile());
    EXPECT_FALSE(child<QLabel>("importReadStatus")->text().isEmpty());
    EXPECT_EQ(child<QTableWidget>("importMapping")->rowCount(), 0);
    EXPECT_FALSE(child<QPushButton>("applyImport")->isEnabled());
}

}  // namespace
}  // namespace quirn::plancalendar
