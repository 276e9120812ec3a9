#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <cstdlib>

#include "loader/LoaderSettings.h"
#include "loader/LoaderStack.h"
#include "loader/ui/LoaderWindow.h"
#include "plans/DatabaseFiles.h"
#include "testing/ui/TimeTestWindow.h"
#include "tests/testing/TimeTestBench.h"

namespace quirn::test {
namespace {

constexpr long long kMinuteMs = 60LL * 1000;

// Prompts of the loader that nobody answers in these tests.
class SilentPrompts final : public LoaderView {
  public:
    void beep() override {}
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void showMessage(const std::string&, const std::string&) override {}
};

// The testing window on the offscreen platform over the bench, its buttons clicked with QTest.
class TimeTestWindowTest : public TimeTestBench {
  protected:
    void SetUp() override { attachSwitch(sim::SimModel::MX40); }

    TimeTestWindowServices services() {
        return TimeTestWindowServices{clock,
                                      working,
                                      timers,
                                      *handler,
                                      db,
                                      download,
                                      [this] { saveDatabase(db, working, clock.now()); },
                                      [] { return AttachedType::Mx40; }};
    }
    // Answers Yes to every question of the window, and keeps them.
    TimeTestWindow::YesNoAsker yes() {
        return [this](QWidget*, const std::string& text, const std::string&) {
            questions.push_back(text);
            return true;
        };
    }
    std::vector<std::string> questions;

    template <typename T>
    static T* child(QWidget& window, const char* name) {
        T* widget = window.findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static void click(QWidget& window, const char* name) {
        QTest::mouseClick(child<QPushButton>(window, name), Qt::LeftButton);
    }
    static QStringList shown(QWidget& window) {
        QStringList out;
        QListWidget* list = child<QListWidget>(window, "lines");
        for (int i = 0; i < list->count(); ++i) out << list->item(i)->text();
        return out;
    }
    static QString picked(QWidget& window, const char* name) {
        return child<QComboBox>(window, name)->currentText();
    }
};

TEST_F(TimeTestWindowTest, VornTimeOpensTheWindowWithItsPickersAndOpeningLine) {
    db.group(1, 99).setName("MOXBYRD");
    LoaderSettings loaderSettings(profile, settings, folder.file("profile.csv"));
    LoaderStack stack(
        LoaderStackSetup{clock, timers, working, &profile, loaderSettings, db, download}, *handler);
    SilentPrompts prompts;
    LoaderWindow loader(stack.services(), prompts);
    attachTimeTesting(loader, services());
    loader.show();
    QPushButton* vornTime = child<QPushButton>(loader, "vornTime");
    ASSERT_TRUE(vornTime->isVisible());
    QTest::mouseClick(vornTime, Qt::LeftButton);

    QPointer<TimeTestWindow> window = loader.findChild<TimeTestWindow*>();
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(window->windowTitle(), "Advanced Time Testing");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(shown(*window),
              QStringList{"Monday, March 16, 2026, 09:15.00: Opened Dialog.  No testing started."});
    EXPECT_EQ(child<QComboBox>(*window, "masterGroup")->count(), 10);
    EXPECT_EQ(child<QComboBox>(*window, "group")->count(), 100);
    EXPECT_EQ(child<QComboBox>(*window, "location")->itemText(0), "All Locations");
    EXPECT_EQ(picked(*window, "second"), "50");
    EXPECT_EQ(child<QDateEdit>(*window, "date")->date(), QDate(2026, 3, 16));

    click(*window, "cancel");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());  // closing deletes it
}

TEST_F(TimeTestWindowTest, ButtonsDriveTheRunnerAndCancelEndsTheRunningTest) {
    TimeTestWindow window(services(), nullptr, {}, yes());
    window.show();
    child<QDateEdit>(window, "date")->setDate(QDate(2037, 12, 31));
    click(window, "dateFlip");
    ASSERT_TRUE(window.controller().runner().running());
    EXPECT_EQ(child<QLabel>(window, "status")->text().toStdString(),
              "Running TestDateFlip since 09:15.00.");
    ASSERT_TRUE(runUntil([&] { return !window.controller().runner().running(); }, kMinuteMs));
    EXPECT_TRUE(
        shown(window).contains("Monday, March 16, 2026, 09:15.10: TestDateFlip: PASSED Start Time"))
        << shown(window).join("\n").toStdString();
    EXPECT_EQ(child<QLabel>(window, "status")->text().toStdString(), "No test running.");

    click(window, "testAll");
    EXPECT_EQ(window.controller().runner().sequence(), 1);
    EXPECT_EQ(child<QLabel>(window, "status")->text().toStdString(),
              "Running TestStep16 since 09:15.10. Test ALL: 1 of 6.");
    advance(2000);
    click(window, "cancel");
    EXPECT_FALSE(window.controller().runner().running());
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(shown(window).last(), "Monday, March 16, 2026, 09:15.12: Testing Dialog exited.");
}

TEST_F(TimeTestWindowTest, TestsAskBeforeReplacingProgrammingAndRestoreAndCancelPutItBack) {
    db.addStep(Step::atTime(1, 1, 1, 7, 15, kCommandOn));
    ASSERT_TRUE(saveDatabase(db, working, clock.now()));
    const std::string realSteps = readFile(stepsFileName(working));
    TimeTestWindow window(services(), nullptr, {}, yes());
    window.show();
    QPushButton* restore = child<QPushButton>(window, "restoreProgramming");
    EXPECT_EQ(restore->text(), "Restore programming");
    EXPECT_FALSE(restore->isEnabled());

    click(window, "step16");
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].rfind("Step 16 replaces the programming of group 1 of master group 1 "
                                 "(\"Bench\"), with location 1 \"Bench Switch\" (MX40)",
                                 0),
              0u)
        << questions[0];
    ASSERT_TRUE(window.controller().runner().running());
    EXPECT_NE(readFile(stepsFileName(working)), realSteps);
    EXPECT_TRUE(restore->isEnabled());
    click(window, "restoreProgramming");
    EXPECT_FALSE(window.controller().runner().running());
    EXPECT_EQ(readFile(stepsFileName(working)), realSteps);
    EXPECT_FALSE(restore->isEnabled());

    click(window, "dwp");
    EXPECT_NE(readFile(stepsFileName(working)), realSteps);
    click(window, "cancel");
    ASSERT_EQ(questions.size(), 3u);
    EXPECT_NE(questions[2].find("Restore it from "), std::string::npos) << questions[2];
    EXPECT_EQ(readFile(stepsFileName(working)), realSteps);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(TimeTestWindowTest, PresetsSendTimeAndManualButtons) {
    std::vector<std::string> switchLog;
    device->setLogSink([&](const std::string& line) { switchLog.push_back(line); });
    TimeTestWindow window(services());
    window.show();
    click(window, "preset2359");
    EXPECT_EQ(
        (QStringList{picked(window, "hour"), picked(window, "minute"), picked(window, "second")}),
        (QStringList{"23", "59", "45"}));
    click(window, "preset0159");
    EXPECT_EQ(picked(window, "hour"), "01");
    click(window, "preset0259");
    EXPECT_EQ(picked(window, "hour"), "02");
    click(window, "sendTime");
    auto logged = [&](const std::string& text) {
        for (const std::string& line : switchLog)
            if (line.find(text) != std::string::npos) return true;
        return false;
    };
    ASSERT_TRUE(runUntil([&] { return logged("time set to 2026-03-16 02:59:45"); }, kMinuteMs));
    click(window, "manualOn");
    ASSERT_TRUE(runUntil([&] { return device->relayCode() == 3; }, kMinuteMs));
    click(window, "manualOff");
    ASSERT_TRUE(runUntil([&] { return device->relayCode() == 0; }, kMinuteMs));
    const QStringList lines = shown(window);
    EXPECT_TRUE(lines[1].endsWith(": Send data to clock."));
    EXPECT_TRUE(lines[2].endsWith(": Manual ON command."));
    EXPECT_TRUE(lines[3].endsWith(": Manual OFF command."));
}

TEST_F(TimeTestWindowTest, SaveLinesProposesTheLogFolderAndWritesTheFileTheTechnicianPicks) {
    const std::string path = folder.file("night run.csv");
    std::string proposed;
    TimeTestWindow window(services(), nullptr, [&](QWidget*, const std::string& offered) {
        proposed = offered;
        return folder.file("night run");
    });
    window.show();
    click(window, "saveLines");
    EXPECT_EQ(proposed, working.logs() + "Time_Test_Lines_March_16_2026.csv");
    EXPECT_EQ(readFile(path),
              "\"Time\",\"Line\"\r\n"
              "\"Monday, March 16, 2026, 09:15.00\",\"Opened Dialog.  No testing started.\"\r\n");
    EXPECT_TRUE(
        shown(window).last().endsWith("Lines saved to " + QString::fromStdString(path) + "."));
}

TEST_F(TimeTestWindowTest, TheWindowDrawsARunningTest) {
    TimeTestWindow window(services(), nullptr, {}, yes());
    window.show();
    child<QDateEdit>(window, "date")->setDate(QDate(2037, 12, 30));
    click(window, "dateFlip");
    ASSERT_TRUE(runUntil([&] { return !window.controller().runner().running(); }, kMinuteMs));
    click(window, "step16");
    ASSERT_TRUE(runUntil([&] { return shown(window).size() >= 14; }, 10 * kMinuteMs));
    QImage image = window.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 720);
    // The README's picture is this window: QUIRN_TIMETEST_SCREENSHOT names where to keep it.
    if (const char* keep = std::getenv("QUIRN_TIMETEST_SCREENSHOT")) {
        EXPECT_TRUE(image.save(keep)) << keep;
    }
}

}  // namespace
}  // namespace quirn::test
