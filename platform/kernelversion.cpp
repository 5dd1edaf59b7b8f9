#include "kernelversion.h"

#include <QRegularExpression>

bool KernelVersion::parse(const QString &release, KernelVersion &version)
{
    static const QRegularExpression leading(QStringLiteral("^(\\d+)(?:\\.(\\d+)(?:\\.(\\d+))?)?"));
    const QRegularExpressionMatch match = leading.match(release);
    if (!match.hasMatch())
        return false;
    version.major = match.captured(1).toUInt();
    version.minor = match.captured(2).toUInt();
    version.patch = match.captured(3).toUInt();
    return true;
}
