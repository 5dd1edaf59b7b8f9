#pragma once

#include "qvideosettingxml.h"

#include <QFileInfo>
#include <QImage>

// One history entry whose output exists, so that the history shows it, and selects it as
// its first row.
namespace HistoryRecord {

inline void save(const QString &output)
{
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    picture.save(output);
    convertedInfo info;
    info.convertedPath = output;
    info.title = QFileInfo(output).completeBaseName();
    info.format = QStringLiteral("PNG");
    QVideoSettingXml::SaveConvertedInfo(&info);
}

}
