#include "planedit/ui/LocationForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include "planedit/PlanFieldRules.h"
#include "planedit/ui/FieldRuleValidator.h"

namespace quirn {

namespace {
constexpr TimeSwitchModel kModels[] = {TimeSwitchModel::QN510, TimeSwitchModel::MX40,
                                       TimeSwitchModel::Strider, TimeSwitchModel::LR40};
constexpr int kStriderCodes = 10;

QString qt(const std::string& text) {
    return QString::fromStdString(text);
}
}  // namespace

LocationForm::LocationForm(QWidget* parent) : QWidget(parent) {
    build();
}

void LocationForm::build() {
    auto* form = new QFormLayout(this);
    number_ = new QLabel(this);
    number_->setObjectName("locationNumber");
    name_ = new QLineEdit(this);
    name_->setObjectName("locationName");
    type_ = new QLineEdit(this);
    type_->setObjectName("locationType");
    model_ = new QComboBox(this);
    model_->setObjectName("locationModel");
    for (TimeSwitchModel m : kModels)
        model_->addItem(modelShortName(static_cast<int>(m)), static_cast<int>(m));
    connection_ = new QComboBox(this);
    connection_->setObjectName("locationConnection");
    connection_->addItem("Radio", kRadio);
    connection_->addItem("M2M client", kM2M);
    connection_->addItem("IP address", kAddress);
    address_ = new QLineEdit(this);
    address_->setObjectName("locationAddress");
    address_->setPlaceholderText("dotted IPv4 address of the time switch");
    imsi_ = new QLineEdit(this);
    imsi_->setObjectName("locationImsi");
    strider_ = new QComboBox(this);
    strider_->setObjectName("locationStriderCode");
    for (int code = 0; code < kStriderCodes; ++code) strider_->addItem(striderCodeText(code), code);
    validateDisabled_ = new QCheckBox("Ignore this location in all validations.", this);
    validateDisabled_->setObjectName("locationValidateDisabled");
    problem_ = new QLabel(this);
    problem_->setObjectName("locationProblem");
    problem_->setWordWrap(true);

    form->addRow("Number", number_);
    form->addRow("Name", name_);
    form->addRow("Type", type_);
    form->addRow("Model", model_);
    form->addRow("Connection", connection_);
    form->addRow("Address", address_);
    form->addRow("IMSI", imsi_);
    form->addRow("Strider delay time", strider_);
    form->addRow("", validateDisabled_);
    form->addRow("", problem_);

    guardField(
        name_, [](std::string_view t) { return checkRecordName(t, "location name"); }, problem_);
    guardField(
        type_, [](std::string_view t) { return checkRecordName(t, "location type"); }, problem_);
    guardField(
        address_, [](std::string_view t) { return checkConnection(t); }, problem_);
    guardField(
        imsi_, [](std::string_view t) { return checkImsi(t); }, problem_);

    for (QLineEdit* field : {name_, type_, address_, imsi_})
        connect(field, &QLineEdit::editingFinished, this, &LocationForm::commit);
    for (QComboBox* box : {model_, connection_, strider_})
        connect(box, &QComboBox::activated, this, [this] {
            drawEnabled();
            commit();
        });
    connect(validateDisabled_, &QCheckBox::toggled, this, &LocationForm::commit);
}

void LocationForm::show(int number, const LocationFields& fields) {
    drawing_ = true;
    shown_ = fields;
    number_->setText(QString::number(number));
    name_->setText(qt(fields.name));
    type_->setText(qt(fields.type));
    model_->setCurrentIndex(model_->findData(fields.model));
    const int kind = fields.connection == kRadioAddress ? kRadio
                     : fields.connection == kM2MAddress ? kM2M
                                                        : kAddress;
    connection_->setCurrentIndex(connection_->findData(kind));
    address_->setText(kind == kAddress ? qt(fields.connection) : QString());
    imsi_->setText(qt(fields.imsi));
    strider_->setCurrentIndex(strider_->findData(fields.striderTimeCode));
    validateDisabled_->setChecked(fields.validateDisabled);
    drawEnabled();
    drawing_ = false;
}

QString LocationForm::problem() const {
    return problem_->text();
}

void LocationForm::drawEnabled() {
    const int kind = connection_->currentData().toInt();
    address_->setEnabled(kind == kAddress);
    imsi_->setEnabled(kind == kM2M);
    strider_->setEnabled(model_->currentData().toInt() ==
                         static_cast<int>(TimeSwitchModel::Strider));
}

LocationFields LocationForm::typed() const {
    LocationFields f = shown_;
    if (name_->hasAcceptableInput()) f.name = name_->text().toStdString();
    if (type_->hasAcceptableInput()) f.type = type_->text().toStdString();
    f.model = model_->currentData().toInt();
    const int kind = connection_->currentData().toInt();
    if (kind == kRadio) f.connection = kRadioAddress;
    if (kind == kM2M) f.connection = kM2MAddress;
    if (kind == kAddress && address_->hasAcceptableInput())
        f.connection = address_->text().toStdString();
    // The files keep an IMSI only with the M2M client, a delay time only on a Strider.
    f.imsi = kind == kM2M && imsi_->hasAcceptableInput() ? imsi_->text().toStdString() : "";
    f.striderTimeCode =
        f.model == static_cast<int>(TimeSwitchModel::Strider) ? strider_->currentData().toInt() : 0;
    f.validateDisabled = validateDisabled_->isChecked();
    return f;
}

void LocationForm::commit() {
    if (drawing_ || !apply_) return;
    const LocationFields fields = typed();
    if (fields == shown_) return;
    const int kind = connection_->currentData().toInt();
    if (kind == kAddress && !address_->hasAcceptableInput()) {
        // The address is what makes an IP location; it waits for one the rule accepts.
        problem_->setText(qt(checkConnection(address_->text().toStdString()).problem));
        return;
    }
    const std::string refusal = apply_(fields);
    problem_->setText(qt(refusal));
}

}  // namespace quirn
