#include "qconverteroperate.h"

#include <QStringList>

int QConverterOperate::g_langugeType = 0;
PhotoConverterInfo *QConverterOperate::g_converterInfo = nullptr;
QString QConverterOperate::m_converterPath;
int QConverterOperate::m_bIsKeepClassify = 2;
QString QConverterOperate::m_logFilePath;
QString QConverterOperate::m_audioDeviceName;

void QConverterOperate::setLanguageType(QString typeName)
{
    // The index of the name in this list; names compare exactly, anything else is English.
    static const QStringList kTypes = {QStringLiteral("English"), QStringLiteral("Chinese"),
                                       QStringLiteral("German"), QStringLiteral("French"),
                                       QStringLiteral("Japanese")};
    g_langugeType = qMax(0, kTypes.indexOf(typeName));
}

int QConverterOperate::getLanguageType()
{
    return g_langugeType;
}

void QConverterOperate::setConverterPath(QString path)
{
    // Output names are appended to the folder as it is: without its closing "/" they
    // would land beside the folder instead of in it.
    if (!path.isEmpty() && !path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    m_converterPath = std::move(path);
}

QString QConverterOperate::getConverterPath()
{
    return m_converterPath;
}

void QConverterOperate::setKeepClassify(int index)
{
    m_bIsKeepClassify = index;
}

int QConverterOperate::keepClassify()
{
    return m_bIsKeepClassify;
}

void QConverterOperate::setLogFilePath(QString path)
{
    m_logFilePath = std::move(path);
}

QString QConverterOperate::getLogFilePath()
{
    return m_logFilePath;
}

void QConverterOperate::setAudioDeviceName(QString name)
{
    m_audioDeviceName = std::move(name);
}

QString QConverterOperate::getAudioDeviceName()
{
    return m_audioDeviceName;
}
