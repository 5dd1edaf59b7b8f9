// The worst time one history save holds the GUI thread, with 10,000 entries in the
// history, from the first save of a run on, against a parse and rewrite of the whole file
// on that thread; and how long a lookup waits while a save is being written. Prints one
// line per measurement. Works in a temporary home folder.

#include "qhistoryfile.h"
#include "qianyutil.h"
#include "qstorefile.h"
#include "qvideosettingxml.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <algorithm>
#include <vector>

namespace {

const int EntryCount = 10000;
const int SaveCount = 300;

convertedInfo record(int number)
{
    convertedInfo info;
    info.convertedPath = QStringLiteral("/home/user/Documents/Converted/IMG_%1.gif").arg(number, 5, 10, QLatin1Char('0'));
    info.title = QStringLiteral("IMG_%1").arg(number, 5, 10, QLatin1Char('0'));
    info.imgPath = QStringLiteral("/home/user/.local/share/app/Temp/%1.jpg").arg(number * 7919, 32, 16, QLatin1Char('0'));
    info.resolution = QStringLiteral("1440x1080");
    info.format = QStringLiteral("GIF");
    info.createTime = QStringLiteral("2024.05.01 10:11:12");
    info.identity = QString(64, QLatin1Char('c'));
    return info;
}

double milliseconds(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

void writeHistory(const QString &path)
{
    QDomDocument document;
    QStoreFile::loadOrStart(path, document);
    QDomElement root = document.documentElement();
    for (int i = 0; i < EntryCount; ++i) {
        const convertedInfo info = record(i);
        QDomElement entry = document.createElement(QStringLiteral("Path_item"));
        entry.setAttribute(QStringLiteral("Converted_path_"), info.convertedPath);
        QDomElement details = document.createElement(QStringLiteral("CONVERTED_INFO_"));
        details.setAttribute(QStringLiteral("Title_"), info.title);
        details.setAttribute(QStringLiteral("Img_path_"), info.imgPath);
        details.setAttribute(QStringLiteral("Resolutin_"), info.resolution);
        details.setAttribute(QStringLiteral("Format_"), info.format);
        details.setAttribute(QStringLiteral("Creacte_Time_"), info.createTime);
        details.setAttribute(QStringLiteral("New_file"), QStringLiteral("N"));
        details.setAttribute(QStringLiteral("Output_identity_"), info.identity);
        entry.appendChild(details);
        root.appendChild(entry);
    }
    QStoreFile::save(path, document);
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path() + "/.local/share"));
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QString path = QStoreFile::appDataFile(QStringLiteral("History.xml"));
    writeHistory(path);
    out << "history: " << EntryCount << " entries, " << QFile(path).size() / 1024 << " KiB\n";

    QElapsedTimer timer;
    timer.start();
    QDomDocument document;
    QStoreFile::load(path, document);
    QStoreFile::save(path, document);
    out << "parse and rewrite of the whole file: " << milliseconds(timer) << " ms\n";

    std::vector<double> blocks;
    for (int i = 0; i < SaveCount; ++i) {
        // New entries and updates of old ones, as finished jobs and repeated outputs give.
        convertedInfo info = record(i % 2 ? EntryCount + i : i * 31);
        timer.restart();
        QVideoSettingXml::SaveConvertedInfo(&info);
        blocks.push_back(milliseconds(timer));
    }
    timer.restart();
    QList<convertedInfo *> records;
    QVideoSettingXml::analysisConvertedInfo(&records);
    const double read = milliseconds(timer);
    qDeleteAll(records);
    timer.restart();
    QHistoryFile::instance().flush();
    const double drain = milliseconds(timer);
    std::sort(blocks.begin(), blocks.end());
    out << "GUI-thread block per save over " << SaveCount << " saves: median " << blocks[blocks.size() / 2]
        << " ms, worst " << blocks.back() << " ms\n";
    out << "whole read after the saves, which waits for them and, the first time, for the parse: " << read
        << " ms\n";
    out << "history thread, last whole write after the read: " << drain << " ms\n";

    std::vector<double> lookups;
    for (int i = 0; i < 20; ++i) {
        convertedInfo info = record(i);
        QVideoSettingXml::SaveConvertedInfo(&info);
        QThread::msleep(3); // the save's write is under way
        timer.restart();
        QVideoSettingXml::GetConvertedInfo(info.convertedPath);
        lookups.push_back(milliseconds(timer));
        QHistoryFile::instance().flush();
    }
    std::sort(lookups.begin(), lookups.end());
    out << "lookup while a save is written: median " << lookups[lookups.size() / 2] << " ms, worst "
        << lookups.back() << " ms\n";
    return 0;
}
