#pragma once

#include <QApplication>
#include <QPointer>

#include <functional>

#include <dlfcn.h>
#include <link.h>

#include "skinfont.h"
#include "testhome.h"
#include "videoimagewindow.h"
#include "videoview.h"
#include "zvqplayobject.h"

// Mesa unloads its driver when the display closes, and what the driver's globals held
// would then look leaked to the leak checker: the loaded drivers stay.
inline void pinGlDrivers()
{
    QByteArrayList drivers;
    dl_iterate_phdr(
        [](dl_phdr_info *info, size_t, void *list) {
            if (QByteArray(info->dlpi_name).endsWith("_dri.so"))
                static_cast<QByteArrayList *>(list)->append(info->dlpi_name);
            return 0;
        },
        &drivers);
    for (const QByteArray &driver : drivers)
        dlopen(driver.constData(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

// The GL views are made and deleted at every open, as in the program.
#define PLAYER_TEST_MAIN(TestObject)                                                                                   \
    int main(int argc, char *argv[])                                                                                   \
    {                                                                                                                  \
        TestHome home;                                                                                                 \
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);                                                    \
        QApplication app(argc, argv);                                                                                  \
        SkinFont::installSubstitutes();                                                                                \
        TestObject tc;                                                                                                 \
        QTEST_SET_MAIN_SOURCE_PATH                                                                                     \
        const int result = QTest::qExec(&tc, argc, argv);                                                              \
        pinGlDrivers();                                                                                                \
        return result;                                                                                                 \
    }

inline QStringList titles(const QList<subltItemInfo *> &items)
{
    QStringList result;
    for (const subltItemInfo *item : items)
        result << QString::fromStdString(item->title);
    return result;
}

// Stands in for the player panel: replaces the video window at every open and hands
// it to the engine, and records audio blocks, both through direct connections.
class PanelStandIn : public QWidget
{
    Q_OBJECT

public:
    PanelStandIn()
    {
        resize(320, 240);
        connect(engine, &ZVQPlayObject::emitRefreshPlayView, this, &PanelStandIn::InitPlayView, Qt::DirectConnection);
        connect(engine, &ZVQPlayObject::emitAudioData, this, &PanelStandIn::OnAudioData, Qt::DirectConnection);
    }
    ~PanelStandIn() override { delete engine; }

    ZVQPlayObject *engine = new ZVQPlayObject;
    QPointer<VideoImageWindow> window;
    QList<int> audioRates; // 0 for a null block
    std::function<void()> onRefresh;

public slots:
    void InitPlayView()
    {
        if (onRefresh)
            onRefresh();
        delete window;
        window = new VideoImageWindow(this);
        window->setWindowFlags(Qt::FramelessWindowHint);
        window->hide();
        window->setGeometry(2, 2, width() - 4, height() - 4);
        engine->setPlayWindows(window);
    }
    void OnAudioData(unsigned char *block, int rate) { audioRates.append(block ? rate : 0); }
};
