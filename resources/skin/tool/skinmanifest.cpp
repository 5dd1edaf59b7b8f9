#include "skinmanifest.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

namespace {

bool parseScheme(const QStringList &fields, SkinManifest &manifest)
{
    // scheme <name> <frame> token=colour...
    bool ok = false;
    const int frame = fields.value(2).toInt(&ok);
    if (fields.size() < 3 || !ok || frame < 0 || frame > 7)
        return false;
    SkinScheme &scheme = manifest.schemes[fields.at(1)];
    while (scheme.size() <= frame)
        scheme.append(QHash<QString, QString>());
    for (int i = 3; i < fields.size(); ++i) {
        const QStringList pair = fields.at(i).split(QLatin1Char('='));
        if (pair.size() != 2)
            return false;
        scheme[frame].insert(QStringLiteral("@") + pair.at(0), pair.at(1));
    }
    return true;
}

bool parseOutput(const QStringList &fields, int line, SkinManifest &manifest)
{
    // <path> <kind> <w>x<h> <svg[,svg]> [scheme[/scheme]]
    if (fields.size() < 4 || fields.size() > 5)
        return false;
    const QStringList size = fields.at(2).split(QLatin1Char('x'));
    bool okW = false;
    bool okH = false;
    SkinOutput output;
    output.path = fields.at(0);
    output.kind = fields.at(1);
    output.frame = QSize(size.value(0).toInt(&okW), size.value(1).toInt(&okH));
    output.svgs = fields.at(3).split(QLatin1Char(','));
    if (fields.size() == 5)
        output.schemes = fields.at(4).split(QLatin1Char('/'));
    output.line = line;
    static const QStringList kinds = {"one", "s4", "g4x2", "v3", "i4x2", "x1"};
    if (!okW || !okH || output.frame.isEmpty() || !kinds.contains(output.kind)
        || !output.path.startsWith(QLatin1Char('/')))
        return false;
    manifest.outputs.append(output);
    return true;
}

}

SkinManifest SkinManifest::read(const QString &path)
{
    SkinManifest manifest;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        manifest.error = QStringLiteral("cannot read %1").arg(path);
        return manifest;
    }
    QTextStream in(&file);
    int number = 0;
    while (!in.atEnd()) {
        ++number;
        // Colours are written #rrggbb, so only whole lines are comments.
        const QString text = in.readLine().trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = text.split(QRegularExpression(QStringLiteral("\\s+")));
        const bool ok = fields.first() == QLatin1String("scheme") ? parseScheme(fields, manifest)
                                                                  : parseOutput(fields, number, manifest);
        if (!ok) {
            manifest.error = QStringLiteral("%1:%2: malformed line").arg(path).arg(number);
            return manifest;
        }
    }
    return manifest;
}
