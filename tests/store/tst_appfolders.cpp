#include "qianyutil.h"
#include "storetest.h"
#include "testhome.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

#include <clocale>
#include <sys/stat.h>
#include <unistd.h>

// Folders of the application and the folder sweep.
class TestAppFolders : public QObject
{
    Q_OBJECT

private:
    QString m_sandbox;

    QString makeFile(const QString &path)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        StoreTest::writeBytes(path, "x");
        return path;
    }

private slots:
    void init()
    {
        m_sandbox = QDir::homePath() + "/sandbox";
        QDir(m_sandbox).removeRecursively();
        QDir().mkpath(m_sandbox);
    }

    void applicationAndResourceFoldersSitBesideTheExecutableFolder()
    {
        const QString parent = QFileInfo(QCoreApplication::applicationDirPath()).absolutePath();
        QCOMPARE(QIAnyUtil::getApplicationDirPath(), parent + "/");
        QCOMPARE(QIAnyUtil::getResourcePath(), parent + "/Resources");
        QCOMPARE(QIAnyUtil::getResourcePath(), QIAnyUtil::getResourcePath());
    }

    void userFoldersAreNamedAfterTheProductAndMade()
    {
        const QString data = QIAnyUtil::getAppDataPath();
        QCOMPARE(data, QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                           + "/Calvetrin Glintora");
        QVERIFY(QFileInfo(data).isDir());
        QCOMPARE(QIAnyUtil::getAppDataPath(), data);

        const QString documents = QIAnyUtil::getDocumentPath();
        QCOMPARE(documents, QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                                + "/Calvetrin Glintora");
        QVERIFY(QFileInfo(documents).isDir());
        QVERIFY(documents.startsWith(QDir::homePath()));
        QVERIFY(QIAnyUtil::dndTmpPath().isEmpty());
    }

    // Never the shared folder above: outputs would be written and cleaned up among others' files.
    void unmakeableUserFolderIsStillOurs()
    {
        if (StoreTest::permissionsAreBypassed())
            QSKIP("permissions do not hold for root");
        const QString base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        const QString folder = base + "/Calvetrin Glintora";
        QDir(folder).removeRecursively();
        QDir().mkpath(base);
        QFile::setPermissions(base, QFile::ReadOwner | QFile::ExeOwner);
        const QString fallback = QIAnyUtil::getDocumentPath();
        QFile::setPermissions(base, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(fallback, folder);
        QCOMPARE(QIAnyUtil::getDocumentPath(), folder);
    }

    void tempFolderIsPrivateAndOurOwn()
    {
        const QString base = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
        const QString folder = base + "/Calvetrin Glintora";
        QDir(folder).removeRecursively();
        QCOMPARE(QIAnyUtil::getTempSavePath(), folder);
        struct stat info;
        QCOMPARE(::stat(QFile::encodeName(folder).constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 0777), 0700);

        // A link planted under our name is refused, whatever it points at.
        QDir(folder).removeRecursively();
        const QString elsewhere = m_sandbox + "/planted";
        QDir().mkpath(elsewhere);
        QVERIFY(QFile::link(elsewhere, folder));
        QCOMPARE(QIAnyUtil::getTempSavePath(), base);
        QFile::remove(folder);

        if (StoreTest::permissionsAreBypassed()) {
            QDir().mkpath(folder);
            QCOMPARE(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
            QCOMPARE(QIAnyUtil::getTempSavePath(), base);
            QDir(folder).removeRecursively();
        }
    }

    void restorePasswordIsAPlainText()
    {
        QVERIFY(QIAnyUtil::getRestorePassWord().isEmpty());
        QIAnyUtil::setRestorePassWord("secret");
        QCOMPARE(QIAnyUtil::getRestorePassWord(), QString("secret"));
    }

    void sizeText_data()
    {
        QTest::addColumn<quint64>("size");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << quint64(0) << "0 B";
        QTest::newRow("1024 stays bytes") << quint64(1024) << "1024 B";
        QTest::newRow("1025") << quint64(1025) << "1.00 KB";
        QTest::newRow("1 MiB stays KB") << quint64(1048576) << "1024.00 KB";
        QTest::newRow("1.5 MiB") << quint64(1572864) << "1.50 MB";
        QTest::newRow("1 GiB stays MB") << quint64(1073741824) << "1024.00 MB";
        QTest::newRow("just above 1 GiB") << quint64(1073741825) << "1.00 GB";
        QTest::newRow("huge") << quint64(5) * 1024 * 1024 * 1024 * 1024 << "5120.00 GB";
    }

    void sizeText()
    {
        QFETCH(quint64, size);
        QFETCH(QString, text);
        QCOMPARE(QIAnyUtil::size2String(size), text);
    }

    void sizeTextKeepsThePointUnderACommaLocale()
    {
        const char *locales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"};
        const char *chosen = nullptr;
        for (const char *name : locales) {
            if (std::setlocale(LC_ALL, name)) {
                chosen = name;
                break;
            }
        }
        if (!chosen)
            QSKIP("no locale with a decimal comma is installed");
        const QString text = QIAnyUtil::size2String(1025);
        std::setlocale(LC_ALL, "C");
        QCOMPARE(text, QString("1.00 KB"));
    }

    void sweepRemovesNestedAndHiddenEntriesAndTheFolder()
    {
        const QString folder = m_sandbox + "/TemporaryData";
        makeFile(folder + "/a.jpg");
        makeFile(folder + "/.hidden");
        makeFile(folder + "/one/two/three/deep.png");
        makeFile(folder + "/one/.dot/x");
        const QString sibling = makeFile(m_sandbox + "/keep.txt");
        QVERIFY(QIAnyUtil::removeFolderContent(folder));
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(QFileInfo::exists(sibling));
    }

    void sweepLeavesAnEmptyParentInPlace()
    {
        const QString parent = m_sandbox + "/Documents/Calvetrin Glintora/Converted";
        const QString folder = parent + "/IMG_0001";
        makeFile(folder + "/IMG_0001_001.jpg");
        QVERIFY(QIAnyUtil::removeFolderContent(folder));
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(QFileInfo(parent).isDir());
    }

    void sweepNeverFollowsLinks()
    {
        const QString outside = m_sandbox + "/outside";
        const QString precious = makeFile(outside + "/precious.txt");
        const QString folder = m_sandbox + "/swept";
        QDir().mkpath(folder + "/sub");
        QVERIFY(QFile::link(outside, folder + "/sub/link-to-outside"));
        QVERIFY(QFile::link(precious, folder + "/file-link"));
        QVERIFY(QFile::link(m_sandbox + "/nowhere", folder + "/broken-link"));
        QVERIFY(QIAnyUtil::removeFolderContent(folder));
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(QFileInfo::exists(precious));

        // A link named as the folder is no folder: nothing behind it is touched.
        const QString topLink = m_sandbox + "/top-link";
        QVERIFY(QFile::link(outside, topLink));
        QVERIFY(!QIAnyUtil::removeFolderContent(topLink));
        QVERIFY(QFileInfo::exists(precious));
    }

    void sweepEndsOnSpecialAndUndeletableEntries()
    {
        const QString folder = m_sandbox + "/special";
        QDir().mkpath(folder);
        QCOMPARE(::mkfifo(QFile::encodeName(folder + "/pipe").constData(), 0600), 0);
        QVERIFY(QIAnyUtil::removeFolderContent(folder));
        QVERIFY(!QFileInfo::exists(folder));

        if (StoreTest::permissionsAreBypassed())
            QSKIP("permissions do not hold for root");
        const QString locked = m_sandbox + "/locked";
        makeFile(locked + "/inner/stuck.txt");
        makeFile(locked + "/free.txt");
        // A link that cannot be unlinked must not lead to its target being changed.
        const QString outside = makeFile(m_sandbox + "/read-only.txt");
        QFile::setPermissions(outside, QFile::ReadOwner);
        QVERIFY(QFile::link(outside, locked + "/inner/link"));
        QFile::setPermissions(locked + "/inner", QFile::ReadOwner | QFile::ExeOwner);
        QVERIFY(QIAnyUtil::removeFolderContent(locked));
        QVERIFY(QFileInfo::exists(locked + "/inner/stuck.txt"));
        QVERIFY(!QFileInfo::exists(locked + "/free.txt"));
        QCOMPARE(QFile::permissions(outside) & QFile::WriteOwner, QFileDevice::Permissions());
        QFile::setPermissions(locked + "/inner", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void sweepOfNoFolderTouchesNothing_data()
    {
        QTest::addColumn<bool>("plainFile");
        QTest::newRow("missing path") << false;
        QTest::newRow("plain file") << true;
    }

    void sweepOfNoFolderTouchesNothing()
    {
        QFETCH(bool, plainFile);
        const QString path = m_sandbox + "/not-a-folder";
        if (plainFile)
            makeFile(path);
        QVERIFY(!QIAnyUtil::removeFolderContent(path));
        QCOMPARE(QFileInfo::exists(path), plainFile);
        QVERIFY(!QIAnyUtil::removeFolderContent(QString()));
    }
};

GLINTORA_TEST_MAIN_CORE(TestAppFolders)
#include "tst_appfolders.moc"
