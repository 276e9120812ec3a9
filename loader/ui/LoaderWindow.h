#pragma once
#include <QDialog>
#include <functional>
#include <vector>

#include "loader/LoaderController.h"
#include "loader/ui/WindowView.h"

class QButtonGroup;
class QKeyEvent;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace quirn {

// The "Quirn 4 Loader" window: draws a LoaderController and forwards its buttons. The
// controller opens with the window and closes (storing the type and master-groups switch)
// when the window is done. The button column has a fixed place, whatever the status lines
// say, so that a click never lands on a neighbour. Esc asks before the window (and with it
// the station) ends; "Done" and the close box end it at once.
class LoaderWindow final : public QDialog {
    Q_OBJECT

  public:
    LoaderWindow(LoaderServices services, LoaderView& prompts, QWidget* parent = nullptr);
    ~LoaderWindow() override;

    LoaderController& controller() { return controller_; }
    void redraw();
    // Fills "Groups Available" again from the database.
    void refillGroups();
    // Runs the utilities dialog modally, then draws the loader again.
    void openUtilities();
    // What "VORN TIME" does: the program opens the testing window with it.
    void setVornTimeAction(std::function<void()> action) { vornTimeAction_ = std::move(action); }
    // What "Plans…" does: the program opens the plans window with it (which refills the group
    // list as the plans change).
    // Without one the button is disabled.
    void setPlansAction(std::function<void()> action);
    // What "Validate…" does: the program opens the validation run window with it. Without one
    // the button is disabled.
    void setValidateAction(std::function<void()> action);
    // What "Fleet…" does: the program opens the fleet window with it. Without one the button
    // is disabled.
    void setFleetAction(std::function<void()> action);
    // What F1 does: the program opens its help window with it.
    void setHelpAction(std::function<void()> action) { helpAction_ = std::move(action); }
    void done(int result) override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void build();
    QWidget* buildGroupColumn();
    QWidget* buildButtonColumn();
    QWidget* buildAttachedColumn();
    QPushButton* button(const char* text, const char* name, QWidget* parent);
    void takeListSelection();
    void showControllerSelection();
    void drawAttached();
    void drawSendButtons();
    void fitAttachedWidth();

    LoaderView& prompts_;
    WindowView view_;
    LoaderController controller_;
    bool drawing_ = false;
    QTreeWidget* groups_ = nullptr;
    QButtonGroup* types_ = nullptr;
    QTreeWidget* attached_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* sentLine_ = nullptr;
    QLabel* clockLine_ = nullptr;
    QLabel* clockOffset_ = nullptr;
    QLabel* portError_ = nullptr;
    QPushButton* vornTime_ = nullptr;
    QPushButton* plans_ = nullptr;
    QPushButton* validate_ = nullptr;
    QPushButton* fleet_ = nullptr;
    // Read, Write, Manual ON, Manual OFF and Send Time: idle only while the loader may send.
    std::vector<QPushButton*> sendButtons_;
    std::function<void()> vornTimeAction_;
    std::function<void()> plansAction_;
    std::function<void()> validateAction_;
    std::function<void()> fleetAction_;
    std::function<void()> helpAction_;
};

}  // namespace quirn
