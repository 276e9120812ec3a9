#include "loader/ui/QtLoaderPrompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>

namespace quirn {

void QtLoaderPrompts::beep() {
    QApplication::beep();
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
