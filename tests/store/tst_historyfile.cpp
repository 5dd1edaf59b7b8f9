#include "qvideosettingxml.h"
#include "storetest.h"
#include "testhome.h"

#include <QFileInfo>
#include <QProcess>

using namespace StoreTest;

// The conversion history file.
class TestHistoryFile : public QObject
{
    Q_OBJECT

private:
    QString historyFile() const { return dataFile("History.xml"); }

    static convertedInfo record(const QString &path, const QString &title)
    {
        convertedInfo info;
        info.convertedPath = path;
        info.title = title;
        info.imgPath = "/thumbs/" + title + ".JPG";
        info.resolution = "320x240";
        info.format = "GIF";
        info.createTime = "2024.05.01 10:11:12";
        return info;
    }

    void save(const QString &path, const QString &title, const QString &preference = QString())
    {
        convertedInfo info = record(path, title);
        info.preferencePath = preference;
        QVideoSettingXml::SaveConvertedInfo(&info);
    }

    QStringList keys() const
    {
        QStringList result;
        const QDomElement root = parsed(historyFile()).documentElement();
        for (QDomNode node = root.firstChild(); !node.isNull(); node = node.nextSibling())
            result << node.toElement().attribute("Converted_path_");
        return result;
    }

    QString existingOutput(const QString &name)
    {
        const QString path = QDir::homePath() + "/out/" + name;
        QDir().mkpath(QDir::homePath() + "/out");
        writeBytes(path, "GIF89a");
        return path;
    }

    static void deleteAll(QList<convertedInfo *> &records)
    {
        qDeleteAll(records);
        records.clear();
    }

private slots:
    void init() { clearAppData(); }

    void firstSaveLayout()
    {
        save("/out/IMG_1.gif", "IMG_1");
        const QByteArray bytes = readBytes(historyFile());
        QVERIFY(bytes.startsWith("<ROOTITEM>\n    <Path_item "));
        QVERIFY(bytes.contains("\n        <CONVERTED_INFO_ "));
        const QDomElement root = parsed(historyFile()).documentElement();
        QCOMPARE(root.tagName(), QString("ROOTITEM"));
        QCOMPARE(root.childNodes().count(), 1);
        const QDomElement entry = root.firstChildElement();
        QCOMPARE(entry.tagName(), QString("Path_item"));
        QCOMPARE(entry.attributes().count(), 1);
        QCOMPARE(entry.attribute("Converted_path_"), QString("/out/IMG_1.gif"));
        QCOMPARE(entry.childNodes().count(), 1);
        const QDomElement details = entry.firstChildElement();
        QCOMPARE(details.tagName(), QString("CONVERTED_INFO_"));
        QCOMPARE(details.attributes().count(), 14);
        const QStringList names = {"Img_path_", "Title_", "Resolutin_", "Time_", "Creacte_Time_", "Size_", "Extend_",
                                   "Artist_", "Album_", "Genre_", "Format_", "preferencePath_", "Video_file", "New_file"};
        for (const QString &name : names)
            QVERIFY2(details.hasAttribute(name), qPrintable(name));
        QCOMPARE(details.attribute("Title_"), QString("IMG_1"));
        QCOMPARE(details.attribute("Resolutin_"), QString("320x240"));
        QCOMPARE(details.attribute("Creacte_Time_"), QString("2024.05.01 10:11:12"));
        QCOMPARE(details.attribute("Artist_"), QString());
        // A record built for saving is new and no video.
        QCOMPARE(details.attribute("New_file"), QString("Y"));
        QCOMPARE(details.attribute("Video_file"), QString("N"));
    }

    void samePathUpdatesInPlace()
    {
        save("/out/a.gif", "first", "/pref/one");
        save("/out/b.gif", "other");
        save("/out/a.gif", "second", "/pref/two");
        QCOMPARE(keys(), QStringList({"/out/a.gif", "/out/b.gif"}));
        const convertedInfo *info = QVideoSettingXml::GetConvertedInfo("/out/a.gif");
        QVERIFY(info);
        QCOMPARE(info->title, QString("second"));

        // Backslashes make another key for saving, the same one for lookups.
        save("\\out\\a.gif", "third");
        QCOMPARE(keys().size(), 3);
        QCOMPARE(QVideoSettingXml::getPreferencePath("\\out\\a.gif"), QString("/pref/two"));
        QCOMPARE(QVideoSettingXml::getPreferencePath("/out/a.gif"), QString("/pref/two"));
        QCOMPARE(QVideoSettingXml::getPreferencePath("/out/none.gif"), QString());
    }

    void readingAllClearsTheNewMarksOnce()
    {
        writeBytes(historyFile(),
                   "<ROOTITEM>\n"
                   "    <Path_item Converted_path_=\"C:\\out\\1.gif\"><CONVERTED_INFO_ Title_=\"1\" New_file=\"Y\""
                   " Video_file=\"Y\"/></Path_item>\n"
                   "    <Path_item Converted_path_=\"/out/2.gif\"><CONVERTED_INFO_ Title_=\"2\" New_file=\"N\"/></Path_item>\n"
                   "    <Path_item Converted_path_=\"/out/3.gif\"><CONVERTED_INFO_ Title_=\"3\" New_file=\"Y\"/></Path_item>\n"
                   "    <Path_item Converted_path_=\"/out/4.gif\"><CONVERTED_INFO_ Title_=\"4\" New_file=\"y\"/></Path_item>\n"
                   "</ROOTITEM>\n");
        QList<convertedInfo *> records;
        QVideoSettingXml::analysisConvertedInfo(&records);
        QCOMPARE(records.size(), 4);
        QCOMPARE(records.at(0)->convertedPath, QString("C:/out/1.gif"));
        QCOMPARE(records.at(2)->title, QString("3"));
        QCOMPARE(QList<bool>({records.at(0)->isNew, records.at(1)->isNew, records.at(2)->isNew, records.at(3)->isNew}),
                 QList<bool>({true, false, true, false}));
        QVERIFY(records.at(0)->isVideo);
        QVERIFY(!records.at(1)->isVideo);
        deleteAll(records);

        const QDomElement root = parsed(historyFile()).documentElement();
        QStringList marks;
        for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
            marks << e.firstChildElement().attribute("New_file");
        QCOMPARE(marks, QStringList({"N", "N", "N", "y"}));

        const QByteArray settled = readBytes(historyFile());
        QVideoSettingXml::analysisConvertedInfo(&records);
        QCOMPARE(records.size(), 4);
        for (const convertedInfo *info : records)
            QVERIFY(!info->isNew);
        deleteAll(records);
        QCOMPARE(readBytes(historyFile()), settled);
    }

    void readingAllWithoutAListStillClearsTheMarks()
    {
        save("/out/a.gif", "a");
        QVideoSettingXml::analysisConvertedInfo(nullptr);
        QCOMPARE(parsed(historyFile()).documentElement().firstChildElement().firstChildElement().attribute("New_file"),
                 QString("N"));
    }

    void missingOutputsArePruned()
    {
        const QString kept1 = existingOutput("1.gif");
        const QString kept2 = existingOutput("4.gif");
        save(kept1, "1");
        save("/gone/2.gif", "2");
        save("/gone/3.gif", "3");
        QVideoSettingXml::SetConvertedPath(QString());
        save(kept2, "4");
        QCOMPARE(QVideoSettingXml::GetConvertedPath(), QStringList({kept1, kept2}));
        QCOMPARE(keys(), QStringList({kept1, kept2}));

        // Output folders of still series count as existing outputs too.
        const QString series = QDir::homePath() + "/out/IMG_5";
        QDir().mkpath(series);
        QVideoSettingXml::SetConvertedPath(series);
        QCOMPARE(QVideoSettingXml::GetConvertedPath().last(), series);
    }

    void deletingByListRemovesOneEntryPerPath()
    {
        save("/out/a.gif", "a");
        QVideoSettingXml::SetConvertedPath("/out/b.gif");
        QVideoSettingXml::SetConvertedPath("/out/b.gif");
        save("/out/c.gif", "c");
        writeBytes(historyFile(), readBytes(historyFile()).replace("/out/c.gif", "/out/a.gif"));
        QCOMPARE(keys(), QStringList({"/out/a.gif", "/out/b.gif", "/out/a.gif"}));

        const QByteArray before = readBytes(historyFile());
        QVideoSettingXml::DeleteConvertedPath({});
        QVideoSettingXml::DeleteConvertedPath({"/out/none.gif", "\\out\\b.gif"});
        QCOMPARE(readBytes(historyFile()), before);

        QVideoSettingXml::DeleteConvertedPath({"/out/a.gif"});
        QCOMPARE(keys(), QStringList({"/out/b.gif", "/out/a.gif"}));
        save("/out/a2.gif", "x");
        writeBytes(historyFile(), readBytes(historyFile()).replace("/out/a2.gif", "/out/a.gif"));
        QVideoSettingXml::DeleteConvertedPath({"/out/a.gif", "/out/a.gif"});
        QCOMPARE(keys(), QStringList({"/out/b.gif"}));
    }

    void singleLookupKeepsOnlyItsLastRecord()
    {
        save("/out/a.gif", "a");
        save("/out/b.gif", "b");
        const QByteArray before = readBytes(historyFile());
        const convertedInfo *first = QVideoSettingXml::GetConvertedInfo("\\out\\a.gif");
        QVERIFY(first);
        QCOMPARE(first->convertedPath, QString("/out/a.gif"));
        QCOMPARE(first->title, QString("a"));
        QVERIFY(first->isNew);
        const convertedInfo *second = QVideoSettingXml::GetConvertedInfo("/out/b.gif");
        QVERIFY(second);
        QCOMPARE(second->title, QString("b"));
        QVERIFY(!QVideoSettingXml::GetConvertedInfo("/out/none.gif"));
        QCOMPARE(readBytes(historyFile()), before);
    }

    void removeAndRenameMatchEitherSlash()
    {
        save("/out/a.gif", "a");
        save("/out/b.gif", "b");
        QVideoSettingXml::changeConvertedInofPath("\\out\\a.gif", "\\new\\a.gif");
        QCOMPARE(keys(), QStringList({"\\new\\a.gif", "/out/b.gif"}));
        QCOMPARE(QVideoSettingXml::GetConvertedInfo("/new/a.gif")->title, QString("a"));
        QVideoSettingXml::removeConvertedInfo("/new/a.gif");
        QCOMPARE(keys(), QStringList({"/out/b.gif"}));

        const QByteArray before = readBytes(historyFile());
        QVideoSettingXml::removeConvertedInfo("/out/none.gif");
        QVideoSettingXml::changeConvertedInofPath("/out/none.gif", "/x");
        QCOMPARE(readBytes(historyFile()), before);
    }

    void bareKeysAreRegisteredOnce()
    {
        QVideoSettingXml::SetConvertedPath("/out/a.gif");
        QVideoSettingXml::SetConvertedPath("/out/a.gif");
        QCOMPARE(keys(), QStringList({"/out/a.gif"}));
        QVERIFY(parsed(historyFile()).documentElement().firstChildElement().firstChild().isNull());
        const convertedInfo *info = QVideoSettingXml::GetConvertedInfo("/out/a.gif");
        QVERIFY(info);
        QVERIFY(info->title.isEmpty());
        QVERIFY(!info->isNew);
    }

    void missingFileIsMadeOnlyBySaves()
    {
        QList<convertedInfo *> records;
        QVideoSettingXml::analysisConvertedInfo(&records);
        QVERIFY(QVideoSettingXml::GetConvertedPath().isEmpty());
        QVideoSettingXml::DeleteConvertedPath({"/a"});
        QVERIFY(QVideoSettingXml::getPreferencePath("/a").isEmpty());
        QVERIFY(!QVideoSettingXml::GetConvertedInfo("/a"));
        QVideoSettingXml::removeConvertedInfo("/a");
        QVideoSettingXml::changeConvertedInofPath("/a", "/b");
        QVERIFY(records.isEmpty());
        QVERIFY(!QFileInfo::exists(historyFile()));
    }

    void zeroByteHistoryHeals()
    {
        writeBytes(historyFile(), QByteArray());
        save("/out/a.gif", "a");
        QCOMPARE(keys(), QStringList({"/out/a.gif"}));
    }

    void unparsableHistoryIsNeverTouched()
    {
        const QByteArray broken("<ROOTITEM><Path_item Converted_path_=\"/out/a.gif\">");
        writeBytes(historyFile(), broken);
        save("/out/b.gif", "b");
        QVideoSettingXml::SetConvertedPath("/out/c.gif");
        QList<convertedInfo *> records;
        QVideoSettingXml::analysisConvertedInfo(&records);
        QVERIFY(records.isEmpty());
        QVERIFY(QVideoSettingXml::GetConvertedPath().isEmpty());
        QVideoSettingXml::DeleteConvertedPath({"/out/a.gif"});
        QVideoSettingXml::removeConvertedInfo("/out/a.gif");
        QCOMPARE(readBytes(historyFile()), broken);
    }

    void controlCharactersInNamesKeepTheFileReadable()
    {
        const QString path = QString("/out/IMG") + QChar(0x7) + "1.gif";
        save(path, QString("IMG") + QChar(0x7) + "1");
        save(path, "again");
        QDomDocument document;
        QVERIFY(document.setContent(readBytes(historyFile())));
        QCOMPARE(keys().size(), 1);
        QCOMPARE(QVideoSettingXml::GetConvertedInfo(path)->title, QString("again"));
        QVideoSettingXml::DeleteConvertedPath({path});
        QVERIFY(keys().isEmpty());
    }

    // A name XML cannot carry is kept exactly beside its readable form, so the output is
    // still found; an older entry holding only the readable form still reads.
    void unwritableNamesAreListedExactly()
    {
        const QString odd = existingOutput(QString("IMG") + QChar(0x1) + "2.gif");
        const QString plain = existingOutput("IMG_3.gif");
        save(odd, "odd");
        save(plain, "plain");
        QVERIFY(readBytes(historyFile()).contains("Converted_path_exact_"));
        QCOMPARE(QVideoSettingXml::GetConvertedPath(), QStringList({odd, plain}));
        QCOMPARE(QVideoSettingXml::GetConvertedInfo(odd)->title, QString("odd"));

        const QString cleaned = QString("/out/IMG") + QChar(QChar::ReplacementCharacter) + "4.gif";
        writeBytes(historyFile(), "<ROOTITEM><Path_item Converted_path_=\"" + cleaned.toUtf8()
                                      + "\"><CONVERTED_INFO_ Title_=\"old\"/></Path_item></ROOTITEM>");
        QCOMPARE(QVideoSettingXml::GetConvertedInfo(cleaned)->title, QString("old"));
    }

    // The writer runs behind the GUI thread; a program that saves and ends at once must
    // still leave every save in the file.
    void lastSavesAreWrittenAtExit()
    {
        QProcess saver;
        saver.start(QStringLiteral(GLINTORA_HISTORY_SAVER), {"50"});
        QVERIFY(saver.waitForFinished(60000));
        QCOMPARE(saver.exitCode(), 0);
        QCOMPARE(keys().size(), 50);
        QCOMPARE(keys().last(), QString("/out/saved_49.gif"));
    }

    // The last write fails (a plain file holds the data folder's name) after main returned:
    // what it needs must still be there, so the program ends as it should.
    void failedLastWriteAtExitEndsCleanly()
    {
        QProcess saver;
        saver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        saver.start(QStringLiteral(GLINTORA_HISTORY_SAVER), {"1", "unwritable"});
        QVERIFY(saver.waitForFinished(60000));
        const QString folder = QIAnyUtil::getAppDataPath();
        QVERIFY(QFileInfo(folder).isFile());
        QFile::remove(folder);
        QCOMPARE(saver.exitStatus(), QProcess::NormalExit);
        QCOMPARE(saver.exitCode(), 0);
    }
};

GLINTORA_TEST_MAIN_CORE(TestHistoryFile)
#include "tst_historyfile.moc"
