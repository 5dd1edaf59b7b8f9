#include "testhome.h"

#include <QStandardPaths>

class TestTestHome : public QObject
{
    Q_OBJECT

private slots:
    void userFoldersLieInTheTemporaryHome()
    {
        const QString home = QDir::homePath();
        QVERIFY(home.contains("glintora-test-"));
        for (auto location : {QStandardPaths::GenericDataLocation, QStandardPaths::DocumentsLocation,
                              QStandardPaths::GenericConfigLocation, QStandardPaths::TempLocation}) {
            const QString folder = QStandardPaths::writableLocation(location);
            QVERIFY2(folder.startsWith(home), qPrintable(folder));
        }
    }
};

GLINTORA_TEST_MAIN(TestTestHome)
#include "tst_testhome.moc"
