#pragma once
#include <QWidget>
#include <functional>
#include <string>

#include "planedit/PlanEditTypes.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

namespace quirn {

// The fields of one location: name, type, model, how it is reached (the radio, the M2M client
// or its own IPv4 address), the IMSI of its modem (M2M only), the Strider delay time (Strider
// only) and validate-disabled. Each accepted field is handed whole to `apply` as soon as it is
// entered (Return, leaving the field, a pick); `apply` answers with the refusal text, "" when
// the edit was done. The form keeps nothing: the owner shows the stored location again.
class LocationForm final : public QWidget {
    Q_OBJECT

  public:
    using Apply = std::function<std::string(const LocationFields&)>;
    explicit LocationForm(QWidget* parent = nullptr);

    void setApply(Apply apply) { apply_ = std::move(apply); }
    void show(int number, const LocationFields& fields);
    // The reason the last field or edit was refused; empty when none was.
    QString problem() const;

  private:
    enum ConnectionKind { kRadio = 0, kM2M = 1, kAddress = 2 };
    void build();
    // The fields as the widgets hold them now.
    LocationFields typed() const;
    void commit();
    void drawEnabled();

    Apply apply_;
    bool drawing_ = false;
    LocationFields shown_;
    QLabel* number_ = nullptr;
    QLineEdit* name_ = nullptr;
    QLineEdit* type_ = nullptr;
    QComboBox* model_ = nullptr;
    QComboBox* connection_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLineEdit* imsi_ = nullptr;
    QComboBox* strider_ = nullptr;
    QCheckBox* validateDisabled_ = nullptr;
    QLabel* problem_ = nullptr;
};

}  // namespace quirn
