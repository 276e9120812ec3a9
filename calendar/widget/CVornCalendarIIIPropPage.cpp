#include "calendar/widget/CVornCalendarIIIPropPage.h"

#include <QLabel>
#include <QVBoxLayout>

CVornCalendarIIIPropPage::CVornCalendarIIIPropPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("CVornCalendarIIIPropPage"));
    setWindowTitle(QString::fromLatin1(kPropPageCaption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromLatin1(kPropPagePlaceholder), this));
    layout->addStretch();
}
