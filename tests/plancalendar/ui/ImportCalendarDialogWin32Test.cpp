// The import dialog on Windows: its before and after calendars are two registered ActiveX
// controls hosted side by side; the confirmed mapping is applied as one undoable step. Needs
// the Windows desktop and the registration (scripts/wine-plans-calendar-check.sh).
#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <memory>

#include "calendar/com/VornCalendarTypeLib.h"
#include "plancalendar/ui/import/ImportCalendarDialog.h"
#include "planedit/PlanEditor.h"
#include "plans/Group.h"
#include "plans/OverrideStore.h"
#include "plans/PlanDatabase.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "platform/Format.h"
#include "platform/LocalTime.h"
#include "platform/Win32Text.h"
#include "tests/support/TempFolder.h"

namespace quirn::plancalendar {
namespace {

constexpr std::time_t kDay = 24 * 60 * 60;

std::string icsDate(std::time_t t) {
    return formatLocal("%Y%m%d", t);
}

class ImportCalendarDialogWin32Test : public ::testing::Test {
  protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("windows"))
            GTEST_SKIP() << "needs the Windows desktop (QUIRN_QT_PLATFORM)";
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        CLSID clsid;
        ASSERT_TRUE(
            SUCCEEDED(CLSIDFromProgID(win32::widened(vorncal::kControlProgId).c_str(), &clsid)))
            << "register vorncal.dll first (regsvr32)";
        db.group(1, 4).dayPlan(1);
    }
    void TearDown() override {
        dialog.reset();
        if (QGuiApplication::platformName() == QLatin1String("windows")) OleUninitialize();
    }
    // The registered control reads the system's clock: the district's days lie ahead of it.
    std::time_t dayIn(int days) const { return startOfDay(clock.now() + days * kDay); }

    quirn::test::TempFolder folder;
    SystemClock clock;
    PlanDatabase db;
    OverrideStore overrides{clock, folder.workingFolder()};
    SummerPlanStore summer{clock, folder.workingFolder()};
    PlanEditor editor{db, overrides, summer, clock, folder.workingFolder(), false};
    std::unique_ptr<ImportCalendarDialog> dialog;
};

TEST_F(ImportCalendarDialogWin32Test, TwoHostedControlsPreviewAndApplyAsOneStep) {
    const std::string ics =
        "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Example District//EN\r\n"
        "BEGIN:VEVENT\r\nUID:founders@d\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:" +
        icsDate(dayIn(10)) +
        "\r\nSUMMARY:Founders Day\r\nEND:VEVENT\r\n"
        "BEGIN:VEVENT\r\nUID:spring@d\r\nDTSTAMP:20260101T000000Z\r\nDTSTART;VALUE=DATE:" +
        icsDate(dayIn(20)) + "\r\nDTEND;VALUE=DATE:" + icsDate(dayIn(25)) +
        "\r\nSUMMARY:Spring Break\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
    ASSERT_TRUE(quirn::test::writeFile(folder.file("district.ics"), ics));
    dialog = std::make_unique<ImportCalendarDialog>(editor, db, clock, CalendarHostOptions{},
                                                    std::vector<GroupKey>{{1, 4}});
    dialog->resize(1100, 1000);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    ASSERT_TRUE(dialog->beforeHost().ready()) << dialog->beforeHost().problem().toStdString();
    ASSERT_TRUE(dialog->afterHost().ready()) << dialog->afterHost().problem().toStdString();

    dialog->findChild<QLineEdit*>("importFile")
        ->setText(QString::fromStdString(folder.file("district.ics")));
    ASSERT_TRUE(dialog->readFile());
    auto* table = dialog->findChild<QTableWidget*>("importMapping");
    ASSERT_EQ(table->rowCount(), 2);
    for (int row = 0; row < 2; ++row) {
        auto* becomes = qobject_cast<QComboBox*>(table->cellWidget(row, 3));
        if (table->item(row, 0)->text() == "Founders Day")
            becomes->setCurrentIndex(becomes->findText("Holiday"));
        qobject_cast<QCheckBox*>(table->cellWidget(row, 4))->setChecked(true);
    }
    ASSERT_TRUE(dialog->changePlan().applicable());
    EXPECT_EQ(dialog->changePlan().changes.size(), 2u);
    QTest::mouseClick(dialog->findChild<QPushButton*>("applyImport"), Qt::LeftButton);
    const Group& group = *db.findGroup(1, 4);
    const AnnualPlan* holiday = group.annualPlanOn(dayIn(10));
    ASSERT_NE(holiday, nullptr);
    EXPECT_EQ(holiday->plan, kPlanHoliday);
    ASSERT_EQ(group.vacationPlans().size(), 1u);
    EXPECT_TRUE(sameLocalDate(group.vacationPlans().front().end, dayIn(24)));
    ASSERT_TRUE(editor.undo());
    EXPECT_TRUE(group.annualPlans().empty());
    EXPECT_TRUE(group.vacationPlans().empty());
}

}  // namespace
}  // namespace quirn::plancalendar
