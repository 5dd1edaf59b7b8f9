// Saves as many history entries as its argument asks and ends at once, without waiting
// for the history's writer: what a user's quick quit does.
#include "qvideosettingxml.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = app.arguments().value(1).toInt();
    for (int i = 0; i < count; ++i) {
        convertedInfo info;
        info.convertedPath = QStringLiteral("/out/saved_%1.gif").arg(i);
        info.title = QStringLiteral("saved_%1").arg(i);
        QVideoSettingXml::SaveConvertedInfo(&info);
    }
    return 0;
}
