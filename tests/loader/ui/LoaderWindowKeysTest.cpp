// The loader window's keys: Esc asks before the station ends, F1 asks for help; "Done" and
// the close box end it at once.
#include <gtest/gtest.h>

#include <QTest>

#include "loader/ui/LoaderWindow.h"
#include "tests/loader/ui/LoaderWindowFixture.h"

namespace quirn::test {
namespace {

constexpr const char* kAskEnd =
    "Close the loader and end the station?  Paging stops until the station is started again.";

using LoaderKeysTest = LoaderWindowFixture;

TEST_F(LoaderKeysTest, EscAsksBeforeTheStationEndsAndNoKeepsItRunning) {
    LoaderWindow window(services(), view);
    window.show();
    view.answers = {false};
    QTest::keyClick(&window, Qt::Key_Escape);
    ASSERT_EQ(view.questions.size(), 1u);
    EXPECT_EQ(view.questions[0].text, kAskEnd);
    EXPECT_EQ(view.questions[0].caption, "Quirn Radio Software");
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.controller().isOpen());

    view.answers = {true};
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_EQ(view.questions.size(), 2u);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.controller().isOpen());
    EXPECT_EQ(window.result(), QDialog::Rejected);
}

TEST_F(LoaderKeysTest, DoneAndTheCloseBoxEndAtOnce) {
    {
        LoaderWindow window(services(), view);
        window.show();
        click(window, "done");
        EXPECT_FALSE(window.isVisible());
        EXPECT_FALSE(window.controller().isOpen());
    }
    {
        LoaderWindow window(services(), view);
        window.show();
        EXPECT_TRUE(window.close());
        EXPECT_FALSE(window.isVisible());
        EXPECT_FALSE(window.controller().isOpen());
    }
    EXPECT_TRUE(view.questions.empty());
}

TEST_F(LoaderKeysTest, F1RunsTheHelpActionAndLeavesTheWindowUp) {
    LoaderWindow window(services(), view);
    window.show();
    int asked = 0;
    window.setHelpAction([&asked] { ++asked; });
    QTest::keyClick(&window, Qt::Key_F1);
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(view.questions.empty());
}

}  // namespace
}  // namespace quirn::test
