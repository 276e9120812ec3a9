#include "plancalendar/ui/HostProblemLabel.h"

#include <QLabel>

namespace quirn::plancalendar {

QLabel* makeHostProblemLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("calendarProblem"));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace quirn::plancalendar
