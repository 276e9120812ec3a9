// The utilities dialog's port list and baud change as the technician meets them on the real
// window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

#include "loader/ui/UtilitiesWindow.h"
#include "platform/FileSystem.h"
#include "tests/loader/SwitchScript.h"
#include "tests/loader/ui/LoaderWindowFixture.h"

namespace quirn::test {
namespace {

using UtilitiesWindowTest = LoaderWindowFixture;

TEST_F(UtilitiesWindowTest, ThePortListNamesDevicesAndATypedPathIsStoredAndUsed) {
    LoaderWindow loader(services(), view);
    UtilitiesWindow window(loader.controller(), view);
    window.show();
    auto* ports = child<QComboBox>(window, "ports");
    // COM 1 is named by this computer's own device path.
#ifdef _WIN32
    const QString comOne = "COM 1  \\\\.\\COM1";
#else
    const QString comOne = "COM 1  /dev/ttyS0";
#endif
    EXPECT_EQ(ports->itemText(0), "Disabled");
    EXPECT_EQ(ports->itemText(1), comOne);
    EXPECT_EQ(ports->currentText(), comOne);
    ASSERT_TRUE(ports->isEditable());

    ports->lineEdit()->clear();
    QTest::keyClicks(ports->lineEdit(), "/dev/pts/91");
    EXPECT_EQ(ports->lineEdit()->text(), "/dev/pts/91");
    // Return takes the path and verifies it at once.
    QTest::keyClick(ports->lineEdit(), Qt::Key_Return);
    EXPECT_FALSE(window.controller().portChangeUnverified());
    ASSERT_FALSE(view.messages.empty());
    EXPECT_EQ(view.messages.back().text, "Comm port setup correctly.");
    EXPECT_EQ(profile.getString("Serial", "COM1", ""), "/dev/pts/91");
    EXPECT_EQ(device->openPaths.back(), "/dev/pts/91");
    // The scripted line opens any path; this computer need not have the device.
    const QString typed =
        pathExists("/dev/pts/91") ? "COM 1  /dev/pts/91" : "COM 1  /dev/pts/91  (not present)";
    EXPECT_EQ(ports->itemText(1), typed);
    EXPECT_EQ(ports->currentText(), typed);
}

TEST_F(UtilitiesWindowTest, AShownDialogWithTheFocusInThePortFieldGoesAwayCleanly) {
    LoaderWindow loader(services(), view);
    {
        UtilitiesWindow window(loader.controller(), view);
        window.show();
        window.activateWindow();
        child<QComboBox>(window, "ports")->lineEdit()->setFocus();
        QApplication::processEvents();
    }
    EXPECT_TRUE(view.messages.empty());
    EXPECT_EQ(profile.getString("Serial", "COM1", "none"), "none") << "nothing was chosen";
}

TEST_F(UtilitiesWindowTest, ASuccessfulSwitchChangeOffersThePcRateAndAClosedChangeIsCancelled) {
    BaudSwitch sw{kBaud2400};
    device->script = sw.script();
    profile.writeInt("Clock", "Type", 2);
    LoaderWindow loader(services(), view);
    {
        UtilitiesWindow window(loader.controller(), view);
        view.answers = {true, true};
        click(window, "switchTo4800");
        tick(7);
        ASSERT_EQ(view.questions.size(), 2u);
        EXPECT_EQ(view.questions[1].text,
                  "The time switch now talks at 4800 baud.  Change the PC to the same rate?");
        EXPECT_EQ(label(window, "portStatus"), "PC Comm Port Setup. Baud = 4800");
        EXPECT_EQ(label(window, "baudRate"), "Baud Rate = 4800");
        EXPECT_EQ(port->currentBaud(), kBaud4800);
    }
    UtilitiesWindow window(loader.controller(), view);
    window.show();
    view.answers = {true};
    click(window, "switchTo2400");
    tick(3);
    ASSERT_TRUE(window.controller().baudChange().running());
    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.controller().isOpen());
    EXPECT_EQ(port->currentBaud(), kBaud4800) << "the port is back at its configured rate";
    EXPECT_EQ(view.messages.back().text,
              "The baud rate change was cancelled.  The PC port is back at 4800 baud; the time "
              "switch may be at either rate.");
    EXPECT_TRUE(view.messages.back().warning);
}

}  // namespace
}  // namespace quirn::test
