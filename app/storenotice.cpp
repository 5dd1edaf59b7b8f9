#include "storenotice.h"

#include "qstorefile.h"
#include "showmessage.h"

#include <QCoreApplication>
#include <QDir>

namespace {

QString noticeText(QStoreFile::Trouble trouble, const QString &path, const QString &reason)
{
    const QString shown = QDir::toNativeSeparators(path);
    if (trouble == QStoreFile::Trouble::Unparsable)
        return QCoreApplication::translate("StoreNotice", "The file %1 cannot be read. Changes will not be saved to it "
                                                          "until it is repaired or moved aside.")
            .arg(shown);
    return QCoreApplication::translate("StoreNotice", "Settings, presets and history cannot be saved in the folder %1: "
                                                      "%2. Changes are kept only until the program closes.")
        .arg(shown, reason);
}

} // namespace

void StoreNotice::Install()
{
    QStoreFile::setTroubleNotice([](QStoreFile::Trouble trouble, const QString &path, const QString &reason) {
        // Shown from the GUI thread's event loop, not from inside the store call that found
        // it, which may run on the history's own thread.
        QMetaObject::invokeMethod(QCoreApplication::instance(), [text = noticeText(trouble, path, reason)] {
            ShowMessage(text, QString(), 0, false);
        }, Qt::QueuedConnection);
    });
}
