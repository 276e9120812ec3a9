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
// Closing it, by "Cancel" or otherwise, always ends the running test, after offering to restore
// the programming the tests replaced.
class TimeTestWindow final : public QDialog, private TimeTestView {
    Q_OBJECT

  public:
    // Asks where "Save Lines" writes; an empty answer saves nothing.
    // Asks where to save, starting at the proposed path; empty when the technician cancels.
    using FilePicker = std::function<std::string(QWidget* parent, const std::string& proposed)>;
    // Asks the controller's Yes/No questions; a Yes/No message box unless a caller gives one.
    using YesNoAsker =
        std::function<bool(QWidget* parent, const std::string& text, const std::string& caption)>;

    explicit TimeTestWindow(const TimeTestWindowServices& services, QWidget* parent = nullptr,
                            FilePicker pickFile = {}, YesNoAsker ask = {});
    ~TimeTestWindow() override;

    TimeTestController& controller() { return controller_; }
    void done(int result) override;

  private:
    bool askYesNo(const std::string& text, const std::string& caption) override;
    void build();
    QPushButton* button(const char* text, const char* name);
    QComboBox* picker(const std::vector<std::string>& items, const char* name);
    void readPickers();
    void redraw();
    void saveLines();

    TimeTestController controller_;
    FilePicker pickFile_;
    YesNoAsker ask_;
    bool drawing_ = false;
    bool closing_ = false;
    QComboBox* masterGroup_ = nullptr;
    QComboBox* group_ = nullptr;
    QComboBox* location_ = nullptr;
    QComboBox* hour_ = nullptr;
    QComboBox* minute_ = nullptr;
    QComboBox* second_ = nullptr;
    QDateEdit* date_ = nullptr;
    QListWidget* lines_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* restore_ = nullptr;
};

// Opens the window over `parent` (window-modal, without blocking); it deletes itself when
// closed. Returns the window.
TimeTestWindow* openTimeTestWindow(const TimeTestWindowServices& services, QWidget* parent);

// Makes the loader's "VORN TIME" open the window with these services; the attached type is the
// loader's.
void attachTimeTesting(LoaderWindow& loader, TimeTestWindowServices services);

}  // namespace quirn
