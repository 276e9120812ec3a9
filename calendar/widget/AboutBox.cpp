#include "calendar/widget/AboutBox.h"

#include <QMessageBox>

QDialog* createAboutBox(QWidget* parent) {
    auto* box = new QMessageBox(QMessageBox::Information, QString::fromLatin1(kAboutCaption),
                                QString::fromLatin1(kAboutText), QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("VornCalendarIIIAboutBox"));
    return box;
}

void showAboutBox(QWidget* parent) {
    QDialog* box = createAboutBox(parent);
    box->exec();
    delete box;
}
