#pragma once
#include <QDialog>
#include <memory>

#include "loader/UtilitiesController.h"
#include "loader/ui/WindowView.h"

class QCheckBox;
class QCloseEvent;
class QComboBox;
class QLabel;
class QPushButton;

namespace quirn {

class LoaderController;

// The "Utilities" dialog: draws a UtilitiesController and forwards its controls. Leaving with
// an unverified port change asks first; a refused close keeps the dialog up.
class UtilitiesWindow final : public QDialog {
    Q_OBJECT

  public:
    UtilitiesWindow(LoaderController& loader, LoaderView& prompts, QWidget* parent = nullptr);
    ~UtilitiesWindow() override;

    UtilitiesController& controller() { return *controller_; }
    void redraw();
    void reject() override;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void build();
    QPushButton* button(const char* text, const char* name);

    WindowView view_;
    std::unique_ptr<UtilitiesController> controller_;
    bool drawing_ = false;
    QLabel* version_ = nullptr;
    QComboBox* ports_ = nullptr;
    QPushButton* verify_ = nullptr;
    QCheckBox* masterGroups_ = nullptr;
    QComboBox* masterGroupList_ = nullptr;
    QPushButton* switchTo2400_ = nullptr;
    QPushButton* switchTo4800_ = nullptr;
    QPushButton* pcTo2400_ = nullptr;
    QPushButton* pcTo4800_ = nullptr;
    QLabel* rate_ = nullptr;
    QLabel* portStatus_ = nullptr;
    QLabel* headline_ = nullptr;
    QLabel* step_ = nullptr;
};

}  // namespace quirn
