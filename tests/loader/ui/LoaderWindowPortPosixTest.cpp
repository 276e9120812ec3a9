// The loader window over a pseudo-terminal whose far end has stopped reading: what the window
// says about a program that cannot leave the port, however long after the click.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <memory>
#include <string>

#include "loader/ui/LoaderWindow.h"
#include "tests/loader/PtyLoaderFixture.h"
#include "tests/loader/StalledLine.h"

namespace quirn::test {
namespace {

constexpr long long kPastGiveUpMs = 5 * 60 * 1000 + LoaderController::kTickMs;
constexpr int kMaxTicks = 40;

class LoaderWindowPortPosixTest : public PtyLoaderFixture {
  protected:
    QString sentLine(LoaderWindow& window) {
        auto* label = window.findChild<QLabel*>("sentLine");
        EXPECT_NE(label, nullptr);
        return label == nullptr ? QString() : label->text();
    }
    QPushButton* button(LoaderWindow& window, const char* name) {
        auto* b = window.findChild<QPushButton*>(name);
        EXPECT_NE(b, nullptr) << name;
        return b;
    }
};

TEST_F(LoaderWindowPortPosixTest, AProgramThePortGivesUpIsSaidInTheWindow) {
    profile.writeInt("Clock", "Type", static_cast<int>(AttachedType::Mx40));
    LoaderWindow window(services(), view);
    auto found =
        window.findChild<QTreeWidget*>("groups")->findItems("Elm Street,5", Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    window.findChild<QTreeWidget*>("groups")->setCurrentItem(found.front());
    StalledLine line(*pty);
    ASSERT_TRUE(line.stall());

    button(window, "write")->click();
    for (int i = 0; i < kMaxTicks && window.controller().mode() != LoaderController::Mode::Idle;
         ++i)
        timers.advanceMs(LoaderController::kTickMs);
    const std::size_t waiting = port->bytesWaiting();
    ASSERT_GT(waiting, 0u);
    EXPECT_EQ(sentLine(window).toStdString(),
              "Program for group Elm Street,5: " + std::to_string(waiting) +
                  " bytes still wait for the serial port.");
    EXPECT_FALSE(button(window, "sendTime")->isEnabled());
    EXPECT_TRUE(button(window, "sendTime")
                    ->toolTip()
                    .startsWith("The serial port is still sending the last message"));

    timers.advanceMs(kPastGiveUpMs);
    EXPECT_EQ(sentLine(window).toStdString(),
              "Program for group Elm Street,5 was given up: " + std::to_string(waiting) +
                  " bytes had not left the serial port after 5 minutes.  Check the port in "
                  "Utilities and send it again.");
    EXPECT_TRUE(button(window, "sendTime")->isEnabled());
}

}  // namespace
}  // namespace quirn::test
