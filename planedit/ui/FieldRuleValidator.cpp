#include "planedit/ui/FieldRuleValidator.h"

#include <QLabel>
#include <QLineEdit>
#include <string>

namespace quirn {

FieldRuleValidator::FieldRuleValidator(Rule rule, QLabel* problem, QObject* parent)
    : QValidator(parent), rule_(std::move(rule)), problem_(problem) {}

QValidator::State FieldRuleValidator::validate(QString& input, int&) const {
    const std::string text = input.toStdString();
    const FieldCheck check = rule_(text);
    if (problem_) problem_->setText(QString::fromStdString(check.problem));
    return check.ok ? Acceptable : Intermediate;
}

void guardField(QLineEdit* field, FieldRuleValidator::Rule rule, QLabel* problem) {
    field->setValidator(new FieldRuleValidator(std::move(rule), problem, field));
}

}  // namespace quirn
