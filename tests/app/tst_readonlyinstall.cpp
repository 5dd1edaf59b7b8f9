#include "qianyutil.h"
#include "testhome.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Installs the program, makes the install tree read-only and starts it from there: every
// file the program writes must land in the user's folders, none in the install.
class TestReadOnlyInstall : public QObject
{
    Q_OBJECT

private:
    // Every entry below the folder with its size and modification time.
    static QStringList snapshot(const QString &root)
    {
        QStringList entries;
        QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            it.next();
            const QFileInfo info = it.fileInfo();
            entries << QStringLiteral("%1 %2 %3")
                           .arg(info.filePath())
                           .arg(info.size())
                           .arg(info.lastModified().toMSecsSinceEpoch());
        }
        entries.sort();
        return entries;
    }

    static void setWritable(const QString &root, bool writable)
    {
        const QFile::Permissions write = QFile::WriteOwner | QFile::WriteUser;
        QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QFile::Permissions permissions = QFile::permissions(path);
            QFile::setPermissions(path, writable ? permissions | write : permissions & ~write);
        }
    }

private slots:
    void startUpWritesNothingIntoTheInstall()
    {
        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        QProcess install;
        install.start(QStringLiteral(GLINTORA_CMAKE),
                      {"--install", QStringLiteral(GLINTORA_BUILD_DIR), "--prefix", prefix.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
        const QString program = prefix.path() + "/bin/calvetrin-glintora";
        QVERIFY(QFileInfo::exists(program));
        setWritable(prefix.path(), false);
        const QStringList before = snapshot(prefix.path());

        QProcess app;
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(program, QStringList());
        QVERIFY(app.waitForStarted());
        const QString settings = QIAnyUtil::getAppDataPath() + "/VideoDefaultSetting.xml";
        // The format is the last of the start-up settings to be written.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(settings).size() > 0 && [&] {
            QFile file(settings);
            return file.open(QIODevice::ReadOnly) && file.readAll().contains("Format_ID");
        }(), 30000);
        QCOMPARE(app.state(), QProcess::Running);
        app.kill();
        app.waitForFinished();
        const QStringList after = snapshot(prefix.path());
        setWritable(prefix.path(), true); // so that the temporary folder can be removed
        QFile::remove(settings);
        QCOMPARE(after, before);
    }
};

GLINTORA_TEST_MAIN_CORE(TestReadOnlyInstall)
#include "tst_readonlyinstall.moc"
