#pragma once
#include <QValidator>
#include <functional>
#include <string_view>

#include "planedit/PlanFieldRules.h"

class QLabel;
class QLineEdit;

namespace quirn {

// Runs one of the editor's field rules on every keystroke. A refused text stays in the field
// (Intermediate), so the technician sees what was typed and can go on; Return and leaving the
// field take only an accepted text. The rule's reason is shown in `problem` as the text changes,
// so nothing is ever dropped without a word.
class FieldRuleValidator final : public QValidator {
    Q_OBJECT

  public:
    using Rule = std::function<FieldCheck(std::string_view)>;
    FieldRuleValidator(Rule rule, QLabel* problem, QObject* parent);

    State validate(QString& input, int& position) const override;

  private:
    Rule rule_;
    QLabel* problem_;
};

// Puts a rule on a line edit; its reasons go to `problem`.
void guardField(QLineEdit* field, FieldRuleValidator::Rule rule, QLabel* problem);

}  // namespace quirn
