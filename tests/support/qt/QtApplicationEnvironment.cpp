#include <gtest/gtest.h>

#include <QApplication>

namespace quirn::test {
namespace {

// One application object for a whole test program, on the offscreen platform unless
// QUIRN_QT_PLATFORM names another: the pictures of the windows as Windows draws them are made
// on its own platform (Wine hands a program no QT_* variable, so that one cannot serve).
class QtApplicationEnvironment final : public ::testing::Environment {
  public:
    void SetUp() override {
        const QByteArray wanted = qgetenv("QUIRN_QT_PLATFORM");
        qputenv("QT_QPA_PLATFORM", wanted.isEmpty() ? QByteArray("offscreen") : wanted);
        app_ = new QApplication(argc_, argv_);
    }
    void TearDown() override {
        delete app_;
        app_ = nullptr;
    }

  private:
    int argc_ = 1;
    char name_[16] = "quirn-qt-tests";
    char* argv_[2] = {name_, nullptr};
    QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const gQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
}  // namespace quirn::test
