#include "screenshotfolder.h"

#include <QDir>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace ScreenshotFolder {

QString path()
{
    const QString chosen = qEnvironmentVariable("GLINTORA_SCREENSHOT_DIR");
    return QDir(chosen.isEmpty() ? QDir::current().filePath(QStringLiteral("screenshots")) : chosen).absolutePath();
}

bool save(const QPixmap &picture, const QString &name)
{
    const QString folder = path();
    const QString file = folder + QLatin1Char('/') + name;
    if (!QDir().mkpath(folder) || !picture.save(file))
        return false;
    qInfo("saved %s", qPrintable(file));
    return true;
}

bool saveFromScreen(const QWidget *window, const QString &name)
{
    const QRect area = window->frameGeometry();
    return save(window->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()), name);
}

}
