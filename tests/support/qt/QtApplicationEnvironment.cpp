#include <gtest/gtest.h>

#include <QApplication>

namespace quirn::test {
namespace {

// One application object for a whole test program, on the offscreen platform.
class QtApplicationEnvironment final : public ::testing::Environment {
  public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
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
