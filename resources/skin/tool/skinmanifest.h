#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

// The skin manifest: colour schemes (one colour set per state frame) and one line per
// image to produce. Tokens such as "@bg" in an SVG are replaced by a scheme's colours.
struct SkinOutput
{
    QString path;       // under the resource folder, e.g. "/image/btn_close.png"
    QString kind;       // one, s4, g4x2, v3, i4x2, x1
    QSize frame;        // logical size of one frame
    QStringList svgs;   // one SVG, or several for a grid
    QStringList schemes; // none, one, or two ("selected/normal") scheme names
    int line = 0;
};

using SkinScheme = QList<QHash<QString, QString>>; // per frame: token -> colour text

struct SkinManifest
{
    QHash<QString, SkinScheme> schemes;
    QList<SkinOutput> outputs;
    QString error;

    static SkinManifest read(const QString &path);
};
