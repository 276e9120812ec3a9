#pragma once
#include <QDialog>
#include <functional>
#include <string>

#include "testing/TimeTestController.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QListWidget;
class QPushButton;

namespace quirn {

class LoaderWindow;

// The "Advanced Time Testing" window: draws a TimeTestController and forwards its buttons.
// Closing it, by "Cancel" or otherwise, always ends the running test.
class TimeTestWindow final : public QDialog {
    Q_OBJECT

  public:
    // Asks where "Save Lines" writes; an empty answer saves nothing.
    using FilePicker = std::function<std::string(QWidget* parent)>;

    explicit TimeTestWindow(const TimeTestWindowServices& services, QWidget* parent = nullptr,
                            FilePicker pickFile = {});
    ~TimeTestWindow() override;

    TimeTestController& controller() { return controller_; }
    void done(int result) override;

  private:
    void build();
    QPushButton* button(const char* text, const char* name);
    QComboBox* picker(const std::vector<std::string>& items, const char* name);
    void readPickers();
    void redraw();
    void saveLines();

    TimeTestController controller_;
    FilePicker pickFile_;
    bool drawing_ = false;
    QComboBox* masterGroup_ = nullptr;
    QComboBox* group_ = nullptr;
    QComboBox* location_ = nullptr;
    QComboBox* hour_ = nullptr;
    QComboBox* minute_ = nullptr;
    QComboBox* second_ = nullptr;
    QDateEdit* date_ = nullptr;
    QListWidget* lines_ = nullptr;
    QLabel* status_ = nullptr;
};

// Opens the window over `parent` (window-modal, without blocking); it deletes itself when
// closed. Returns the window.
TimeTestWindow* openTimeTestWindow(const TimeTestWindowServices& services, QWidget* parent);

// Makes the loader's "VORN TIME" open the window with these services; the attached type is the
// loader's.
void attachTimeTesting(LoaderWindow& loader, TimeTestWindowServices services);

}  // namespace quirn
