#pragma once
#include "calendar/ControlTexts.h"

class QDialog;
class QWidget;

// The control's about dialog, "About VornCalendarIII Control". The caller owns it.
QDialog* createAboutBox(QWidget* parent);
// Shows it modally and deletes it when closed.
void showAboutBox(QWidget* parent);
