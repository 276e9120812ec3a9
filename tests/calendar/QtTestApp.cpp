#include "QtTestApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

namespace quirn::calendar::test {

namespace {

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
    char name_[16] = "calendar-tests";
    char* argv_[2] = {name_, nullptr};
    QApplication* app_ = nullptr;
};

[[maybe_unused]] ::testing::Environment* const gQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace

QPoint centreOfDay(const CalendarModel& model, int panel, int day) {
    const MonthPanel& p = model.panel(panel);
    const Cell cell = p.findDay(day).value();
    return {p.columnCentre(cell.column), p.rowTop(cell.row) + p.grid().rowHeight / 2};
}

QPoint blankPointOfDay(const CalendarModel& model, int panel, int day) {
    const MonthPanel& p = model.panel(panel);
    const Rect r = p.cellRect(p.findDay(day).value());
    return {r.left + 3, r.top + r.height() / 2};
}

QImage grabThroughPng(QWidget& widget, const std::string& folder) {
    const QString path = QString::fromStdString(folder) + "/calendar.png";
    EXPECT_TRUE(widget.grab().save(path, "PNG"));
    QImage image(path);
    EXPECT_FALSE(image.isNull());
    return image.convertToFormat(QImage::Format_RGB32);
}

bool isBlack(QRgb pixel) {
    return qRed(pixel) < 40 && qGreen(pixel) < 40 && qBlue(pixel) < 40;
}
bool isWhite(QRgb pixel) {
    return qRed(pixel) > 215 && qGreen(pixel) > 215 && qBlue(pixel) > 215;
}

}  // namespace quirn::calendar::test
