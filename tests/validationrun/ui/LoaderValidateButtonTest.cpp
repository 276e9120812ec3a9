// The loader's "Validate…" button: off until the program gives it an action, then it opens the
// validation run window over the station's own run.
#include <QPointer>
#include <QPushButton>

#include "loader/LoaderSettings.h"
#include "loader/LoaderStack.h"
#include "loader/ui/LoaderWindow.h"
#include "loader/ui/QtLoaderPrompts.h"
#include "plans/DatabaseFiles.h"
#include "tests/validationrun/StationRunFixture.h"
#include "validationrun/ui/ValidationRunDialog.h"

namespace quirn::test {
namespace {

class LoaderValidateButton : public StationRunFixture {
  protected:
    void SetUp() override {
        writeStation(locationLine(1, kRadioAddress), "RadioPort,0\r\n");
        ASSERT_TRUE(startStation());
    }
};

TEST_F(LoaderValidateButton, OpensTheValidationRunWindow) {
    LoaderSettings settings(app->profile(), app->settings(), settingsFileName(working));
    LoaderStack stack(LoaderStackSetup{clock, timers, working, &app->profile(), settings,
                                       app->database(), app->comms()->download()},
                      app->comms()->commo());
    QtLoaderPrompts prompts;
    LoaderWindow loader(stack.services(), prompts);
    loader.show();
    auto* button = loader.findChild<QPushButton*>("validate");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QString::fromUtf8("Validate\u2026"));
    EXPECT_FALSE(button->isEnabled());

    QPointer<ValidationRunDialog> opened;
    loader.setValidateAction([&] {
        opened = new ValidationRunDialog(run(), &loader);
        opened->show();
    });
    ASSERT_TRUE(button->isEnabled());
    button->click();
    ASSERT_FALSE(opened.isNull());
    EXPECT_TRUE(opened->isVisible());
    EXPECT_EQ(opened->windowTitle(), "Validation run");
    // The window drives the station's run.
    opened->findChild<QPushButton*>("start")->click();
    EXPECT_TRUE(run().running());
}

}  // namespace
}  // namespace quirn::test
