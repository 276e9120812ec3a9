#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "loader/ui/LoaderWindow.h"
#include "loader/ui/UtilitiesWindow.h"
#include "tests/loader/SwitchScript.h"
#include "tests/loader/ui/LoaderWindowFixture.h"

namespace quirn::test {
namespace {

using LoaderWindowTest = LoaderWindowFixture;

TEST_F(LoaderWindowTest, DrawsTheTypeTheStatusAndTheGroupsAndStoresTheTypeWhenDone) {
    profile.writeInt("Clock", "Type", 2);
    LoaderWindow window(services(), view);
    auto radios = window.findChildren<QRadioButton*>();
    ASSERT_EQ(radios.size(), 4);
    QStringList checked;
    for (QRadioButton* r : radios)
        if (r->isChecked()) checked << r->text();
    EXPECT_EQ(checked, QStringList{"MX40 ( W LR40 )"});
    EXPECT_EQ(label(window, "status"), "No Clock Data Read Yet");
    EXPECT_TRUE(child<QLabel>(window, "portError")->isHidden());
    EXPECT_TRUE(child<QPushButton>(window, "vornTime")->isHidden());
    EXPECT_EQ(child<QPushButton>(window, "read")->text(), "Read ");
    EXPECT_EQ(child<QTreeWidget>(window, "groups")->topLevelItemCount(), 1);

    for (QRadioButton* r : radios)
        if (r->text() == "QN510") r->click();
    EXPECT_EQ(window.controller().type(), AttachedType::Qn510);
    window.done(0);
    EXPECT_FALSE(window.controller().isOpen());
    EXPECT_EQ(profile.getInt("Clock", "Type", -1), 0);
}

TEST_F(LoaderWindowTest, AWriteAndAReadThroughTheButtonsShowTheMatchAndTheProgram) {
    attach(sim::SimModel::QN510);
    LoaderWindow window(services(), view);
    selectGroup(window, "Elm Street,5");
    click(window, "write");
    EXPECT_EQ(label(window, "status"), "Writing Data Start.");
    tickUntilIdle(window);
    click(window, "read");
    tick(3);
    EXPECT_EQ(label(window, "status"), "Reading Data 2 of 7 seconds");
    tickUntilIdle(window);
    EXPECT_TRUE(label(window, "status").startsWith("Computer Time "));
    EXPECT_TRUE(label(window, "clockLine").startsWith("Clock Data read at "));
    QTreeWidget* attachedTree = child<QTreeWidget>(window, "attached");
    ASSERT_EQ(attachedTree->topLevelItemCount(), 1);
    QTreeWidgetItem* result = attachedTree->topLevelItem(0);
    EXPECT_EQ(result->text(0), "Program matches the group. Compared with Elm Street,5.");
    ASSERT_EQ(result->childCount(), static_cast<int>(window.controller().description().size()));
    EXPECT_EQ(result->child(0)->text(0).toStdString(), window.controller().description()[0]);
}

TEST_F(LoaderWindowTest, CtrlCCopiesTheResultTheProgramAndTheStatusLinesAsTheWindowShowsThem) {
    attach(sim::SimModel::QN510);
    LoaderWindow window(services(), view);
    window.show();
    selectGroup(window, "Elm Street,5");
    click(window, "write");
    tickUntilIdle(window);
    click(window, "read");
    tickUntilIdle(window);
    QGuiApplication::clipboard()->setText("before");
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    // The focus stays on the list the group was chosen in: the key is the window's, not a field's.
    child<QTreeWidget>(window, "groups")->setFocus();
    QTest::keyClick(child<QTreeWidget>(window, "groups"), Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QGuiApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], "Program matches the group. Compared with Elm Street,5.");
    EXPECT_EQ(lines[1].toStdString(), "  " + window.controller().description()[0]);
    EXPECT_TRUE(lines.contains(label(window, "status")));
    EXPECT_TRUE(lines.contains(label(window, "clockLine")));
    EXPECT_TRUE(lines.contains(label(window, "clockOffset")));
}

TEST_F(LoaderWindowTest, APortThatCannotSendBeepsAndShowsTheSerialPortError) {
    LoaderWindow window(services(), view);
    selectGroup(window, "Elm Street,5");
    device->vanished = true;
    click(window, "manualOn");
    EXPECT_EQ(view.beeps, 1);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].caption, "Quirn Radio Software");
    EXPECT_TRUE(view.messages[0].warning) << "a failure is a warning, not information";
    EXPECT_FALSE(child<QLabel>(window, "portError")->isHidden());
    EXPECT_EQ(label(window, "portError"),
              "Serial Port Error.  Select new port or plug USB device in.");
}

TEST_F(LoaderWindowTest, TheUtilitiesWindowDrawsItsControllerAndRunsTheBaudChange) {
    BaudSwitch sw{kBaud2400};
    device->script = sw.script();
    profile.writeInt("Clock", "Type", 3);
    LoaderWindow loader(services(), view);
    UtilitiesWindow window(loader.controller(), view);
    EXPECT_EQ(label(window, "portStatus"), "PC Comm Port Setup. Baud = 2400");
    EXPECT_FALSE(child<QPushButton>(window, "verifyPort")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(window, "switchTo4800")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(window, "pcTo2400")->isEnabled());
    EXPECT_TRUE(child<QPushButton>(window, "pcTo4800")->isEnabled());

    view.answers = {true};
    click(window, "switchTo4800");
    EXPECT_FALSE(child<QPushButton>(window, "switchTo2400")->isEnabled());
    tick();
    EXPECT_EQ(label(window, "baudHeadline"), "Changing the BAUD rate to 4800.  Please Wait...");
    EXPECT_EQ(label(window, "baudStep"), "Setting Up.");
    tick(6);
    EXPECT_EQ(label(window, "baudHeadline"), "Baud rate changed to 4800 in attached time switch.");
    EXPECT_EQ(sw.rate, kBaud4800);

    click(window, "pcTo4800");
    EXPECT_EQ(label(window, "portStatus"), "PC Comm Port Setup. Baud = 4800");
    EXPECT_EQ(label(window, "baudRate"), "Baud Rate = 4800");
    EXPECT_TRUE(child<QPushButton>(window, "pcTo2400")->isEnabled());
    EXPECT_EQ(view.messages.back().text, "Baud rate changed to 4800 for PC.");
}

TEST_F(LoaderWindowTest, LeavingTheUtilitiesWithAnUnverifiedPortAsksAndNoKeepsItOpen) {
    LoaderWindow loader(services(), view);
    UtilitiesWindow window(loader.controller(), view);
    window.show();
    window.findChild<QComboBox*>("ports")->setCurrentIndex(3);
    EXPECT_TRUE(window.controller().portChangeUnverified());
    view.answers = {false};
    window.reject();
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_TRUE(window.isVisible());
    view.answers = {true};
    window.reject();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.controller().isOpen());
}

}  // namespace
}  // namespace quirn::test
