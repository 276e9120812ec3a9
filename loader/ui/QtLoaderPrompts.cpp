#include "loader/ui/QtLoaderPrompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

#include "platform/SystemBeep.h"

namespace quirn {

void QtLoaderPrompts::beep() {
    // The system's own alert where it has one, whatever platform Qt draws on.
    if (!systemBeep()) QApplication::beep();
}

bool QtLoaderPrompts::askYesNo(const std::string& text, const std::string& caption) {
    return QMessageBox::question(parent_, QString::fromStdString(caption),
                                 QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void QtLoaderPrompts::showMessage(const std::string& text, const std::string& caption) {
    QMessageBox::information(parent_, QString::fromStdString(caption),
                             QString::fromStdString(text));
}

void QtLoaderPrompts::showWarning(const std::string& text, const std::string& caption) {
    QMessageBox::warning(parent_, QString::fromStdString(caption), QString::fromStdString(text));
}

}  // namespace quirn
