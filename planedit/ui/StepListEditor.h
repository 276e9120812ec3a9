#pragma once
#include <QWidget>
#include <functional>
#include <vector>

#include "planedit/PlanEditTypes.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace quirn {

// A list of ON/OFF steps as "HH:MM" and ON/OFF, with a row to type a new one and a button to
// remove the picked one. It keeps no steps of its own: it shows what it is given and hands the
// list as it would be after an add or a remove to `edit`, which answers with the refusal text
// ("" when the edit was done; the owner then shows the stored steps again).
class StepListEditor final : public QWidget {
    Q_OBJECT

  public:
    using Edit = std::function<std::string(const std::vector<StepEntry>&)>;
    // `limit` is the most steps the list may hold; `name` prefixes the children's object names.
    StepListEditor(int limit, const QString& name, QWidget* parent = nullptr);

    void setEdit(Edit edit) {
        edit_ = std::move(edit);
        drawLimit();
    }
    void show(const std::vector<StepEntry>& steps);
    const std::vector<StepEntry>& steps() const { return steps_; }

  private:
    void add();
    void removePicked();
    void drawLimit();
    void tell(const std::string& problem);

    const int limit_;
    Edit edit_;
    std::vector<StepEntry> steps_;
    QTableWidget* table_ = nullptr;
    QLineEdit* time_ = nullptr;
    QComboBox* command_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QLabel* count_ = nullptr;
    QLabel* problem_ = nullptr;
};

}  // namespace quirn
