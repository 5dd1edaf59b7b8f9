// Saves as many history entries as its argument asks and ends at once, without waiting
// for the history's writer: what a user's quick quit does. With "unwritable" after the
// count, a plain file holds the data folder's name: one save fails while the program runs,
// then a slow step holds the others back, so their failing write runs while the program's
// statics are destroyed.
#include "qhistoryfile.h"
#include "qianyutil.h"
#include "qvideosettingxml.h"

#include <QCoreApplication>
#include <QDir>
#include <QSaveFile>

#include <chrono>
#include <thread>

namespace {

void save(int number)
{
    convertedInfo info;
    info.convertedPath = QStringLiteral("/out/saved_%1.gif").arg(number);
    info.title = QStringLiteral("saved_%1").arg(number);
    QVideoSettingXml::SaveConvertedInfo(&info);
}

bool failWritesAtExit()
{
    const QString folder = QIAnyUtil::getAppDataPath();
    QDir(folder).removeRecursively();
    QSaveFile plain(folder);
    if (!plain.open(QIODevice::WriteOnly) || !plain.commit())
        return false;
    save(-1);
    QHistoryFile::instance().flush();
    QHistoryFile::instance().post(false, [](QHistoryDocument *) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        return false;
    });
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = app.arguments().value(1).toInt();
    if (app.arguments().value(2) == QLatin1String("unwritable") && !failWritesAtExit())
        return 2;
    for (int i = 0; i < count; ++i)
        save(i);
    return 0;
}
