#pragma once

#include <QString>

class QPixmap;
class QWidget;

// Where the screenshot tests leave their pictures: the folder named by the environment
// variable GLINTORA_SCREENSHOT_DIR, else "screenshots" in the working folder, so a
// copied build tree never writes into the tree it was copied from.
namespace ScreenshotFolder {

QString path();
// Saves the picture as <folder>/<name> and says where; false when it cannot be written.
bool save(const QPixmap &picture, const QString &name);
// The window as the X server shows it, margins and all (a widget grab never shows
// what a missing compositor does to them).
bool saveFromScreen(const QWidget *window, const QString &name);
// Readies the X screen for pictures: a plain backdrop that the black of an unblended
// margin stands out against, and a compositing manager for the rest of the run when
// GLINTORA_SCREENSHOT_COMPOSITOR is 1. False when the manager does not come up.
bool prepareScreen();

}
