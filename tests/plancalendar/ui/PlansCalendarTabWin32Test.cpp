// The calendar tab on Windows with the registered ActiveX control (vorncal.dll) hosted in the
// tab's native window. The hosting tests need the Windows desktop (QUIRN_QT_PLATFORM=windows
// under an X display: scripts/wine-plans-calendar-check.sh registers the control with regsvr32
// first and runs them); on the offscreen platform the tab must say that the control is not
// shown there.
#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QTest>
#include <memory>

#include "calendar/com/VornCalendarTypeLib.h"
#include "calendar/gdi/GdiCalendarCanvas.h"
#include "calendar/view/ClickPoint.h"
#include "plancalendar/ui/PlansCalendarTab.h"
#include "planedit/PlanEditor.h"
#include "plans/Group.h"
#include "plans/OverrideStore.h"
#include "plans/PlanDatabase.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "platform/Win32Text.h"
#include "tests/support/TempFolder.h"

namespace quirn::plancalendar {
namespace {

constexpr GroupKey kGroup{1, 4};
constexpr int kEarlyRelease = 3;
constexpr std::time_t kDay = 24 * 60 * 60;

bool onWindowsDesktop() {
    return QGuiApplication::platformName() == QLatin1String("windows");
}

using EntryPoint = HRESULT(WINAPI*)();
HRESULT callModule(const char* name) {
    HMODULE module = LoadLibraryA(VORNCAL_DLL_PATH);
    if (!module) return E_FAIL;
    auto f = reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    const HRESULT hr = f ? f() : E_NOINTERFACE;
    FreeLibrary(module);
    return hr;
}

bool controlRegistered() {
    CLSID clsid;
    return SUCCEEDED(CLSIDFromProgID(win32::widened(vorncal::kControlProgId).c_str(), &clsid));
}

class PlansCalendarTabWin32Test : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        Group& group = db.group(kGroup.masterGroup, kGroup.group);
        group.dayPlan(1);
        group.dayPlan(kEarlyRelease);
        group.setDayPlanName(kEarlyRelease, "Early release");
    }
    void TearDown() override {
        tab.reset();
        OleUninitialize();
    }
    PlansCalendarTab& openTab() {
        tab = std::make_unique<PlansCalendarTab>(editor, db, clock, CalendarHostOptions{});
        tab->resize(1000, 760);
        tab->setGroup(kGroup);
        tab->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(tab.get()));
        QCoreApplication::processEvents();
        return *tab;
    }
    // The control's own window: the child of the ATL host window inside the tab's site.
    HWND controlWindow() {
        QWidget* site = tab->findChild<QWidget*>(QStringLiteral("calendarControl"));
        if (!site) return nullptr;
        HWND host = GetWindow(reinterpret_cast<HWND>(site->winId()), GW_CHILD);
        return host ? GetWindow(host, GW_CHILD) : nullptr;
    }
    // The button goes down on one day and up on another, as the window system delivers it.
    void pressAndRelease(HWND control, int pressDays, int releaseDays) {
        const LPARAM down = where(control, pressDays), up = where(control, releaseDays);
        SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, down);
        SendMessageW(control, WM_LBUTTONUP, 0, up);
        QCoreApplication::processEvents();
    }
    LPARAM where(HWND control, int days) {
        RECT client;
        GetClientRect(control, &client);
        HDC dc = GetDC(control);
        calendar::TextSize x;
        {
            calendar::CalendarFont font(dc);
            x = calendar::GdiCalendarCanvas(dc).textSize("X");
        }
        ReleaseDC(control, dc);
        const LocalDateTime d = toLocal(clock.now() + days * kDay);
        vorncal::ClickRequest request;
        request.target = vorncal::ClickRequest::Target::Date;
        request.date = {d.year, d.month, d.day};
        const std::optional<calendar::Point> at = vorncal::clickPoint(
            request, clock.now(), {client.left, client.top, client.right, client.bottom}, x);
        EXPECT_TRUE(at);
        return at ? MAKELPARAM(at->x, at->y) : 0;
    }
    std::time_t dayIn(int days) const { return startOfDay(clock.now() + days * kDay); }
    const Group& group() const { return *db.findGroup(kGroup.masterGroup, kGroup.group); }

    quirn::test::TempFolder folder;
    // The registered control reads the system's clock, so the tab reads the same.
    SystemClock clock;
    PlanDatabase db;
    OverrideStore overrides{clock, folder.workingFolder()};
    SummerPlanStore summer{clock, folder.workingFolder()};
    PlanEditor editor{db, overrides, summer, clock, folder.workingFolder(), false};
    std::unique_ptr<PlansCalendarTab> tab;
};

TEST_F(PlansCalendarTabWin32Test, OffTheWindowsDesktopTheTabSaysTheControlIsNotShown) {
    if (onWindowsDesktop()) GTEST_SKIP() << "this one is for the offscreen platform";
    openTab();
    EXPECT_FALSE(tab->host().ready());
    auto* problem = tab->findChild<QLabel*>(QStringLiteral("calendarProblem"));
    ASSERT_NE(problem, nullptr);
    EXPECT_TRUE(problem->text().contains("only on the Windows desktop"))
        << problem->text().toStdString();
}

TEST_F(PlansCalendarTabWin32Test, ClicksOnTheRegisteredControlEditTheGroup) {
    if (!onWindowsDesktop()) GTEST_SKIP() << "needs the Windows desktop (QUIRN_QT_PLATFORM)";
    ASSERT_TRUE(controlRegistered()) << "register vorncal.dll first (regsvr32)";
    openTab();
    ASSERT_TRUE(tab->host().ready()) << tab->host().problem().toStdString();
    HWND control = controlWindow();
    ASSERT_NE(control, nullptr);
    RECT client;
    GetClientRect(control, &client);
    EXPECT_GT(client.right, 600) << "the control fills the tab's calendar area";

    auto* picks = tab->findChild<QListWidget*>(QStringLiteral("calendarPicks"));
    picks->setCurrentItem(picks->findItems("Day Plan 3 - Early release", Qt::MatchExactly).front());
    pressAndRelease(control, 10, 10);
    const AnnualPlan* plan = group().annualPlanOn(dayIn(10));
    ASSERT_NE(plan, nullptr) << tab->findChild<QLabel*>("calendarStatus")->text().toStdString();
    EXPECT_EQ(plan->plan, kEarlyRelease);

    pressAndRelease(control, 24, 20);
    ASSERT_EQ(group().vacationPlans().size(), 1u);
    EXPECT_TRUE(sameLocalDate(group().vacationPlans().front().start, dayIn(20)));
    EXPECT_TRUE(sameLocalDate(group().vacationPlans().front().end, dayIn(24)));

    // A day before today fires nothing on the control, so nothing changes.
    pressAndRelease(control, -1, -1);
    EXPECT_EQ(group().annualPlans().size(), 1u);
}

// Last: it takes the registration away and puts it back through the module's own entry point.
TEST_F(PlansCalendarTabWin32Test, AnUnregisteredControlIsNamedWithWhatToDo) {
    if (!onWindowsDesktop()) GTEST_SKIP() << "needs the Windows desktop (QUIRN_QT_PLATFORM)";
    ASSERT_EQ(callModule("DllUnregisterServer"), S_OK);
    ASSERT_FALSE(controlRegistered());
    openTab();
    EXPECT_FALSE(tab->host().ready());
    auto* problem = tab->findChild<QLabel*>(QStringLiteral("calendarProblem"));
    ASSERT_NE(problem, nullptr);
    EXPECT_TRUE(problem->isVisible());
    EXPECT_TRUE(problem->text().contains("is not registered")) << problem->text().toStdString();
    EXPECT_TRUE(problem->text().contains("regsvr32 vorncal.dll")) << problem->text().toStdString();
    EXPECT_EQ(callModule("DllRegisterServer"), S_OK);
}

}  // namespace
}  // namespace quirn::plancalendar
