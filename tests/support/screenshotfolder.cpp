#include "screenshotfolder.h"

#include "qzvcompositorwatch.h"

#include <QCoreApplication>
#include <QDir>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <QX11Info>

#include <xcb/xcb.h>

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

bool prepareScreen()
{
    if (!QX11Info::isPlatformX11())
        return true;
    xcb_connection_t *connection = QX11Info::connection();
    const uint32_t slateBlue = 0x8fa3b8;
    xcb_change_window_attributes(connection, QX11Info::appRootWindow(), XCB_CW_BACK_PIXEL, &slateBlue);
    xcb_clear_area(connection, false, QX11Info::appRootWindow(), 0, 0, 0, 0);
    xcb_flush(connection);
    if (qEnvironmentVariable("GLINTORA_SCREENSHOT_COMPOSITOR") != QLatin1String("1"))
        return true;
    // Ends with the application, which stops it.
    auto *compositor = new QProcess(QCoreApplication::instance());
    compositor->start(QStringLiteral("xcompmgr"), QStringList());
    return compositor->waitForStarted()
        && QTest::qWaitFor([] { return QZVCompositorWatch::instance()->isRunning(); }, 10000);
}

}
