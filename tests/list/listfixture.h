#pragma once

#include "modalwatchdog.h"
#include "qzvmessagedlg.h"
#include "testmedia.h"

#include <QAction>
#include <QMenu>
#include <QString>
#include <QtTest>

// Small generated Live Photo movies, a watchdog step that lets an import's loading
// dialog run until the import has ended, and a click on a shown menu's entry.
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

// Clicks the entry of that text as a user would; false when the menu has none.
inline bool chooseFromMenu(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions()) {
        if (action->text() == text) {
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
            return true;
        }
    }
    return false;
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
