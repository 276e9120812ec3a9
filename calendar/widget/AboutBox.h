#pragma once
class QDialog;
class QWidget;

// The control's about dialog, "About VornCalendarIII Control". The caller owns it.
QDialog* createAboutBox(QWidget* parent);
// Shows it modally and deletes it when closed.
void showAboutBox(QWidget* parent);

inline constexpr const char* kAboutCaption = "About VornCalendarIII Control";
inline constexpr const char* kAboutText = "VornCalendarIII Control, Version 1.0";
