#pragma once

#include "photoconverterinfo.h"

#include <QString>

// Process-wide conversion settings shared by the windows; GUI thread only.
class QConverterOperate
{
public:
    static void setLanguageType(QString typeName);
    static int getLanguageType();
    static void setConverterPath(QString path);
    static QString getConverterPath();
    static void setKeepClassify(int index);
    static int keepClassify();
    static void setLogFilePath(QString path);
    static QString getLogFilePath();
    static void setAudioDeviceName(QString name);
    static QString getAudioDeviceName();

    static int g_langugeType;
    static PhotoConverterInfo *g_converterInfo;

private:
    static QString m_converterPath;
    static int m_bIsKeepClassify;
    static QString m_logFilePath;
    static QString m_audioDeviceName;
};
