#include "unparsablefilenotice.h"

#include "qstorefile.h"
#include "showmessage.h"

#include <QCoreApplication>
#include <QDir>

void UnparsableFileNotice::Install()
{
    QStoreFile::setUnparsableNotice([](const QString &path) {
        // Shown from the GUI thread's event loop, not from inside the store call that found
        // it, which may run on the history's own thread.
        QMetaObject::invokeMethod(QCoreApplication::instance(), [path] {
            ShowMessage(QCoreApplication::translate("UnparsableFileNotice",
                                                    "The file %1 cannot be read. Changes will not be saved to it "
                                                    "until it is repaired or moved aside.")
                            .arg(QDir::toNativeSeparators(path)),
                        QString(), 0, false);
        }, Qt::QueuedConnection);
    });
}
