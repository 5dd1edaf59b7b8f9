#pragma once

#include <QString>

// Runs the system's message box modally and returns the QMessageBox::StandardButton
// number of the button pressed (0 for Escape). An empty title keeps the box's own, a
// zero style gives one OK button; onTop keeps the box above other windows.
int ShowMessage(const QString &text, const QString &title, unsigned int style, bool onTop);
// The same with UTF-8 texts; a null or empty pointer counts as no text.
int ShowMessage(const char *text, const char *title, unsigned int style, bool onTop);
