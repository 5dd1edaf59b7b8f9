#pragma once

#include "modalwatchdog.h"
#include "qzvmessagedlg.h"
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

// The same, and the message that follows an import that refused files: its text goes
// to refusals. An import that refuses nothing leaves the step unreached.
inline void expectImport(ModalWatchdog &dog, QString &refusals)
{
    expectImport(dog);
    dog.expect(QStringLiteral("QZVMessageDlg"), QString(), ModalWatchdog::inspectThen([&refusals](QWidget *modal) {
        refusals = static_cast<QZVMessageDlg *>(modal)->message();
    }, ModalWatchdog::reject()));
}

} // namespace ListFixture
