#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QProcess>

#include "calendar/com/Registration.h"
#include "calendar/com/RegistryFile.h"
#include "calendar/com/VornCalendarTypeLib.h"
#include "calendar/view/ControlLoader.h"
#include "tests/support/TempFolder.h"

namespace quirn::vorncal {
namespace {

using com::kOk;
using com::RegistryFile;

// The module as built, loaded through its entry points only; every test registers into its own
// temporary registry file.
class ModuleRegistrationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(module.load(VORNCAL_MODULE_PATH, error)) << error;
        registry = temp.file("config/vorncal-registry.ini");
        qputenv(com::kRegistryEnvironmentVariable, QByteArray::fromStdString(registry));
    }
    void TearDown() override { qunsetenv(com::kRegistryEnvironmentVariable); }
    RegistryFile load() {
        RegistryFile reg(registry);
        EXPECT_TRUE(reg.load());
        return reg;
    }

    quirn::test::TempFolder temp;
    std::string registry;
    ControlModule module;
};

TEST_F(ModuleRegistrationTest, RegisterWritesTheControlsEntries) {
    ASSERT_EQ(module.registerServer(), kOk);
    RegistryFile reg = load();
    const std::string control = classKey(kClsidControl);
    EXPECT_EQ(reg.value(control, "@"), "VornCalendarIII Control");
    const std::optional<std::string> server = reg.value(control + "\\InprocServer32", "@");
    ASSERT_TRUE(server);
    EXPECT_EQ(QFileInfo(QString::fromStdString(*server)).canonicalFilePath(),
              QFileInfo(VORNCAL_MODULE_PATH).canonicalFilePath());
    EXPECT_EQ(reg.value(control + "\\InprocServer32", "ThreadingModel"), "Apartment");
    EXPECT_EQ(reg.value(control + "\\ProgID", "@"), "VORNCALENDARIII.VornCalendarIIICtrl.1");
    EXPECT_TRUE(reg.hasKey(control + "\\Insertable"));
    EXPECT_TRUE(reg.hasKey(control + "\\Control"));
    EXPECT_EQ(reg.value(control + "\\MiscStatus\\1", "@"), "131473");
    EXPECT_EQ(reg.value(control + "\\TypeLib", "@"), com::guidText(kLibId));
    EXPECT_EQ(reg.value(control + "\\CoClass", "@"), "VornCalendarIII");
    EXPECT_TRUE(reg.hasKey(progIdKey("VORNCALENDARIII.VornCalendarIIICtrl.1") + "\\Insertable"));
    EXPECT_EQ(classFromProgId(registry, "VORNCALENDARIII.VornCalendarIIICtrl.1"), kClsidControl);
    EXPECT_EQ(classFromProgId(registry, "VORNCALENDARIII.VornCalendarIIIPropPage.1"),
              kClsidPropPage);
    EXPECT_EQ(registeredModule(registry, kClsidPropPage), server);

    const std::string lib = typeLibKey(kLibId) + "\\1.0";
    EXPECT_EQ(reg.value(lib, "Name"), "VORNCALENDARIIILib");
    EXPECT_EQ(reg.value(interfaceKey(kDiidDispatch), "@"), "_DVornCalendarIII");
    EXPECT_EQ(reg.value(interfaceKey(kDiidEvents), "@"), "_DVornCalendarIIIEvents");
}

TEST_F(ModuleRegistrationTest, UnregisterRemovesOnlyOurEntriesAndTwiceIsHarmless) {
    {
        RegistryFile reg(registry);
        reg.setValue("HKEY_CLASSES_ROOT\\Someone.Else.1", "@", "another control");
        ASSERT_TRUE(reg.save());
    }
    ASSERT_EQ(module.registerServer(), kOk);
    ASSERT_EQ(module.registerServer(), kOk) << "registering again rewrites the same entries";
    ASSERT_EQ(module.unregisterServer(), kOk);
    RegistryFile reg = load();
    EXPECT_EQ(reg.keys(), (std::vector<std::string>{"HKEY_CLASSES_ROOT\\Someone.Else.1"}));
    EXPECT_EQ(module.unregisterServer(), kOk);
    EXPECT_EQ(load().keys().size(), 1u);
}

TEST_F(ModuleRegistrationTest, UnregisterWithoutARegistryFileCreatesNone) {
    EXPECT_EQ(module.unregisterServer(), kOk);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(registry)));
}

TEST_F(ModuleRegistrationTest, UnwritableRegistryFailsAtTheTypeLibrary) {
    // A folder where the file should be: it can be neither read nor replaced.
    const std::string folder = temp.path();
    qputenv(com::kRegistryEnvironmentVariable, QByteArray::fromStdString(folder));
    EXPECT_EQ(module.registerServer(), com::kSelfRegTypeLib);
    EXPECT_EQ(module.unregisterServer(), com::kSelfRegTypeLib);
}

TEST(ControlModuleLoader, MissingModuleOrEntryPointIsReported) {
    ControlModule module;
    std::string error;
    EXPECT_FALSE(module.load("/nonexistent/libvorncal.so", error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(module.loaded());
    EXPECT_EQ(module.registerServer(), com::kUnexpected);
    void* out = nullptr;
    EXPECT_EQ(module.getClassObject(kClsidControl, com::kIidClassFactory, &out), com::kUnexpected);
}

}  // namespace
}  // namespace quirn::vorncal

namespace quirn::vorncal {
namespace {

// vorncal-view, run as a user runs it: registration through it, and a screenshot of a group.
class ViewProgramTest : public ::testing::Test {
  protected:
    int run(const QStringList& args) {
        QProcess view;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VORNCAL_REGISTRY", QString::fromStdString(temp.file("registry.ini")));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        view.setProcessEnvironment(env);
        view.start(VORNCAL_VIEW_PATH, QStringList{"--library", VORNCAL_MODULE_PATH} + args);
        EXPECT_TRUE(view.waitForFinished(60000));
        output = view.readAllStandardOutput();
        return view.exitStatus() == QProcess::NormalExit ? view.exitCode() : -1;
    }

    quirn::test::TempFolder temp;
    QByteArray output;
};

TEST_F(ViewProgramTest, RegistersAndUnregistersThroughTheEntryPoints) {
    ASSERT_EQ(run({"--register"}), 0);
    EXPECT_TRUE(output.startsWith("DllRegisterServer: S_OK"));
    EXPECT_EQ(classFromProgId(temp.file("registry.ini"), kControlProgId), kClsidControl);
    ASSERT_EQ(run({"--unregister"}), 0);
    EXPECT_FALSE(classFromProgId(temp.file("registry.ini"), kControlProgId));
}

TEST_F(ViewProgramTest, ScreenshotOfAGroupsPlans) {
    ASSERT_TRUE(quirn::test::writeFile(temp.file("dayplan.csv"),
                                       "DayPlan,3,1,2,2025,4,2\r\nDayPlan,4,1,2,2025,4,3\r\n"));
    const QString png = QString::fromStdString(temp.file("shot.png"));
    ASSERT_EQ(run({"--root", QString::fromStdString(temp.path()), "--group", "1,3", "--active", "2",
                   "--today", "2025-03-10", "--size", "720x840", "--screenshot", png}),
              0);
    const QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_GE(image.width(), 720);
    EXPECT_GE(image.height(), 840);
    EXPECT_EQ(run({"--today", "2025-02-30"}), 2);
}

}  // namespace
}  // namespace quirn::vorncal
