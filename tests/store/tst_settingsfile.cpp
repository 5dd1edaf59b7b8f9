#include "qstorefile.h"
#include "qvideosettingxml.h"
#include "storetest.h"
#include "testhome.h"

#include <QFileInfo>

#include <csignal>
#include <sys/resource.h>

using namespace StoreTest;

// The item/key/value settings file and the capture settings kept in it.
class TestSettingsFile : public QObject
{
    Q_OBJECT

private:
    QString settingsFile() const { return dataFile("VideoDefaultSetting.xml"); }

    QDomElement firstItem(const QDomDocument &document, const QString &item) const
    {
        return document.documentElement().firstChildElement(item);
    }

private slots:
    void init() { clearAppData(); }

    void firstReadCreatesTheFileWithTheDefault()
    {
        QCOMPARE(QVideoSettingXml::GetItemValue("CLOSE_ITEM", "bIsCloseDlg", "Y"), QString("Y"));
        const QDomDocument document = parsed(settingsFile());
        QCOMPARE(document.documentElement().tagName(), QString("ROOTITEM"));
        QCOMPARE(document.documentElement().childNodes().count(), 1);
        QCOMPARE(firstItem(document, "CLOSE_ITEM").attribute("bIsCloseDlg"), QString("Y"));
    }

    void writeBeforeAnyReadIsLost()
    {
        QVideoSettingXml::SetItemValue("CLOSE_ITEM", "bIsCloseDlg", "N");
        QVERIFY(!QFileInfo::exists(settingsFile()));
        QCOMPARE(QVideoSettingXml::GetItemValue("CLOSE_ITEM", "bIsCloseDlg", "Y"), QString("Y"));

        QVideoSettingXml::SetItemValue("UPDATES_ITEM", "bIsAutoUpdate", "Y");
        QVERIFY(firstItem(parsed(settingsFile()), "UPDATES_ITEM").isNull());
    }

    void valuesRoundTripAfterTheFirstRead()
    {
        QCOMPARE(QVideoSettingXml::GetItemValue("SHOWDOWN_ITEM", "Finished_All_Job", "0"), QString("0"));
        QVideoSettingXml::SetItemValue("SHOWDOWN_ITEM", "Finished_All_Job", "2");
        QCOMPARE(QVideoSettingXml::GetItemValue("SHOWDOWN_ITEM", "Finished_All_Job", "0"), QString("2"));

        // A key the element lacks reads as the default and is not added by the read.
        QCOMPARE(QVideoSettingXml::GetItemValue("SHOWDOWN_ITEM", "other", "d"), QString("d"));
        QVERIFY(!firstItem(parsed(settingsFile()), "SHOWDOWN_ITEM").hasAttribute("other"));
        QVideoSettingXml::SetItemValue("SHOWDOWN_ITEM", "other", "v");
        QCOMPARE(QVideoSettingXml::GetItemValue("SHOWDOWN_ITEM", "other", "d"), QString("v"));

        // A stored empty value reads as the default.
        QVideoSettingXml::SetItemValue("SHOWDOWN_ITEM", "other", "");
        QCOMPARE(QVideoSettingXml::GetItemValue("SHOWDOWN_ITEM", "other", "d"), QString("d"));
    }

    void onlyTheFirstExactlyNamedElementCounts()
    {
        writeBytes(settingsFile(), "<ROOTITEM>\n"
                                   "    <!-- a note -->\n"
                                   "    <close_item bIsCloseDlg=\"lower\"/>\n"
                                   "    <CLOSE_ITEM bIsCloseDlg=\"first\"/>\n"
                                   "    <CLOSE_ITEM bIsCloseDlg=\"second\"/>\n"
                                   "</ROOTITEM>\n");
        QCOMPARE(QVideoSettingXml::GetItemValue("CLOSE_ITEM", "bIsCloseDlg", "Y"), QString("first"));
        QVideoSettingXml::SetItemValue("CLOSE_ITEM", "bIsCloseDlg", "changed");
        const QDomDocument document = parsed(settingsFile());
        const QDomElement first = firstItem(document, "CLOSE_ITEM");
        QCOMPARE(first.attribute("bIsCloseDlg"), QString("changed"));
        QCOMPARE(first.nextSiblingElement("CLOSE_ITEM").attribute("bIsCloseDlg"), QString("second"));
        QCOMPARE(firstItem(document, "close_item").attribute("bIsCloseDlg"), QString("lower"));
        QCOMPARE(document.documentElement().firstChild().nodeType(), QDomNode::CommentNode);
    }

    void unparsableFileIsNeverTouched_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not closed") << QByteArray("<ROOTITEM><CLOSE_ITEM bIsCloseDlg=\"N\">");
        QTest::newRow("plain text") << QByteArray("settings");
        QTest::newRow("blank line") << QByteArray("\n");
    }

    void unparsableFileIsNeverTouched()
    {
        QFETCH(QByteArray, content);
        writeBytes(settingsFile(), content);
        QCOMPARE(QVideoSettingXml::GetItemValue("CLOSE_ITEM", "bIsCloseDlg", "Y"), QString("Y"));
        QVideoSettingXml::SetItemValue("CLOSE_ITEM", "bIsCloseDlg", "N");
        QCOMPARE(QVideoSettingXml::getCaptureImgSuffix(), QString("JPEG"));
        QCOMPARE(readBytes(settingsFile()), content);
    }

    // The user learns once per file, with its name, that its changes are not saved.
    void unparsableFilesAreToldOnce()
    {
        QStringList told;
        const NoticeGuard guard([&told](QStoreFile::Trouble, const QString &path, const QString &) { told << path; });
        const QString history = dataFile("History.xml");
        writeBytes(settingsFile(), "<ROOTITEM>");
        writeBytes(history, "<ROOTITEM><Path_item>");
        for (int i = 0; i < 2; ++i) {
            QVideoSettingXml::GetItemValue("CLOSE_ITEM", "bIsCloseDlg", "Y");
            QVideoSettingXml::SetItemValue("CLOSE_ITEM", "bIsCloseDlg", "N");
            convertedInfo info;
            info.convertedPath = "/out/a.gif";
            QVideoSettingXml::SaveConvertedInfo(&info);
        }
        QHistoryFile::instance().flush();
        QCOMPARE(told, QStringList({settingsFile(), history}));
    }

    // A data folder that takes no files (a plain file holds its name) loses nothing of the
    // run, and the user learns once why, with the folder's name.
    void unwritableFolderIsToldOnceAndTheRunKeepsItsChanges()
    {
        QStringList told;
        const NoticeGuard guard([&told](QStoreFile::Trouble, const QString &path, const QString &reason) {
            told << path + ": " + reason;
        });
        const QString folder = QIAnyUtil::getAppDataPath();
        QDir(folder).removeRecursively();
        writeBytes(folder, "not a folder");
        QVideoSettingXml::GetItemValue("CLOSE_ITEM", "bIsCloseDlg", "Y");
        QVideoSettingXml::SetItemValue("CLOSE_ITEM", "bIsCloseDlg", "N");
        convertedInfo info;
        info.convertedPath = "/out/a.gif";
        QVideoSettingXml::SaveConvertedInfo(&info);
        QCOMPARE(QVideoSettingXml::GetItemValue("CLOSE_ITEM", "bIsCloseDlg", "Y"), QString("N"));
        QVERIFY(QVideoSettingXml::GetConvertedInfo("/out/a.gif"));
        QFile::remove(folder);
        QCOMPARE(told, QStringList{folder + ": it is not a folder"});
    }

    void zeroByteFileIsTreatedAsMissing()
    {
        writeBytes(settingsFile(), QByteArray());
        QCOMPARE(QFileInfo(settingsFile()).size(), 0);
        QVideoSettingXml::SetItemValue("CLOSE_ITEM", "bIsCloseDlg", "N");
        QCOMPARE(QVideoSettingXml::GetItemValue("CLOSE_ITEM", "bIsCloseDlg", "Y"), QString("Y"));
        QCOMPARE(firstItem(parsed(settingsFile()), "CLOSE_ITEM").attribute("bIsCloseDlg"), QString("Y"));
    }

    void writtenFileLayout()
    {
        const QString folder = QString::fromUtf8("/home/José/文書/Converted/");
        QVideoSettingXml::GetItemValue("OutPut_path", "path_value", folder);
        const QByteArray bytes = readBytes(settingsFile());
        QVERIFY2(bytes.startsWith("<ROOTITEM>"), bytes.constData());
        QVERIFY(!bytes.contains("<?xml"));
        QVERIFY(bytes.contains("\n    <OutPut_path "));
        QVERIFY(bytes.contains(folder.toUtf8()));
        QCOMPARE(QVideoSettingXml::GetItemValue("OutPut_path", "path_value", "x"), folder);
    }

    void forbiddenCharactersNeverBreakTheFile()
    {
        QVideoSettingXml::GetItemValue("Open_path", "Open_path_value", ".");
        const QString folder = QString("/media/a") + QChar(0x1) + QChar(0xD800) + "b\tc";
        QVideoSettingXml::SetItemValue("Open_path", "Open_path_value", folder);
        QDomDocument document;
        QVERIFY(document.setContent(readBytes(settingsFile())));
        const QString expected = QString("/media/a") + QChar(0xFFFD) + QChar(0xFFFD) + "b\tc";
        QCOMPARE(QVideoSettingXml::GetItemValue("Open_path", "Open_path_value", "."), expected);
    }

    void documentThatWouldNotParseIsNotSaved()
    {
        // A first write that fails leaves no file behind, not even an empty one.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("would not parse"));
        QVideoSettingXml::GetItemValue("bad name<", "key", "v");
        QVERIFY(!QFileInfo::exists(settingsFile()));

        QVideoSettingXml::GetItemValue("CLOSE_ITEM", "bIsCloseDlg", "Y");
        const QByteArray before = readBytes(settingsFile());
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("would not parse"));
        QVideoSettingXml::GetItemValue("bad name<", "key", "v");
        QCOMPARE(readBytes(settingsFile()), before);
    }

    void failedWriteKeepsThePreviousFile()
    {
        // A file-size limit makes the write fail part way, as a full disk would.
        QVideoSettingXml::GetItemValue("Open_path", "Open_path_value", ".");
        const QByteArray before = readBytes(settingsFile());
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit oldLimit;
        ::getrlimit(RLIMIT_FSIZE, &oldLimit);
        struct rlimit limit = oldLimit;
        limit.rlim_cur = 4096;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        QTest::ignoreMessage(QtWarningMsg, kWriteWarning);
        QVideoSettingXml::SetItemValue("Open_path", "Open_path_value", QString(100000, 'x'));
        ::setrlimit(RLIMIT_FSIZE, &oldLimit);
        std::signal(SIGXFSZ, oldHandler);
        QCOMPARE(readBytes(settingsFile()), before);
        QCOMPARE(QDir(QIAnyUtil::getAppDataPath()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"VideoDefaultSetting.xml"});
    }

    void unwritableFolderKeepsThePreviousFile()
    {
        if (permissionsAreBypassed())
            QSKIP("permissions do not hold for root");
        QVideoSettingXml::GetItemValue("CLOSE_ITEM", "bIsCloseDlg", "Y");
        const QByteArray before = readBytes(settingsFile());
        const QString folder = QIAnyUtil::getAppDataPath();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        QTest::ignoreMessage(QtWarningMsg, kWriteWarning);
        QVideoSettingXml::SetItemValue("CLOSE_ITEM", "bIsCloseDlg", "N");
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(readBytes(settingsFile()), before);
    }

    void captureGettersFillOneElement()
    {
        QCOMPARE(QVideoSettingXml::getCaptureImgSuffix(), QString("JPEG"));
        const QString defaultFolder = QIAnyUtil::getDocumentPath() + "/Screenshots/";
        QCOMPARE(QVideoSettingXml::getCaptrueImaSavePath(), defaultFolder);
        QVERIFY(QFileInfo(defaultFolder).isDir());
        const QDomDocument document = parsed(settingsFile());
        QCOMPARE(document.documentElement().childNodes().count(), 1);
        const QDomElement item = firstItem(document, "Screenshots");
        QCOMPARE(item.attribute("IMG_SUFFIX"), QString("JPEG"));
        QCOMPARE(item.attribute("IMG_Folder"), defaultFolder);
    }

    void captureSettersNeedAFirstRead()
    {
        QVideoSettingXml::setCaptrueImaPath("/tmp/shots");
        QVideoSettingXml::setCaptureImgSuffix("PNG");
        QVERIFY(!QFileInfo::exists(settingsFile()));

        QVideoSettingXml::getCaptureImgSuffix();
        QVideoSettingXml::setCaptureImgSuffix("PNG");
        QCOMPARE(QVideoSettingXml::getCaptureImgSuffix(), QString("PNG"));
    }

    void storedCaptureFolderIsReturnedUnchecked()
    {
        QVideoSettingXml::getCaptrueImaSavePath();
        QDir(QIAnyUtil::getDocumentPath() + "/Screenshots/").removeRecursively();
        const QString gone = QDir::homePath() + "/no/such/folder/";
        QVideoSettingXml::setCaptrueImaPath(gone);
        QCOMPARE(QVideoSettingXml::getCaptrueImaSavePath(), gone);
        QVERIFY(!QFileInfo::exists(gone));
        // The default folder is made whatever is stored.
        QVERIFY(QFileInfo(QIAnyUtil::getDocumentPath() + "/Screenshots/").isDir());
    }

    void emptyCaptureValueIsRefilled()
    {
        writeBytes(settingsFile(), "<ROOTITEM><Screenshots IMG_SUFFIX=\"\"/></ROOTITEM>");
        QCOMPARE(QVideoSettingXml::getCaptureImgSuffix(), QString("JPEG"));
        QCOMPARE(firstItem(parsed(settingsFile()), "Screenshots").attribute("IMG_SUFFIX"), QString("JPEG"));
    }
};

GLINTORA_TEST_MAIN_CORE(TestSettingsFile)
#include "tst_settingsfile.moc"
