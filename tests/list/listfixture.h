#pragma once

#include "modalwatchdog.h"
#include "testmedia.h"

#include <QString>

// Small generated Live Photo movies and a watchdog step that lets an import's loading
// dialog run until the import has ended.
namespace ListFixture {

inline QString movie(const QString &folder, const QString &name, double seconds = 1.0, bool identifier = true)
{
    TestMedia::LivePhoto spec;
    spec.width = 64;
    spec.height = 48;
    spec.fps = 10;
    spec.seconds = seconds;
    spec.audio = false;
    spec.identifier = identifier;
    return TestMedia::livePhoto(folder, name, spec);
}

inline void expectImport(ModalWatchdog &dog)
{
    dog.expectSelfClosing(QStringLiteral("QLoadingDlg"));
}

} // namespace ListFixture
