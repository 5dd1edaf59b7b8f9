#pragma once

#include <QString>

// The current still-image output choice, written by the format dialog.
struct PhotoConverterInfo
{
    QString format = QStringLiteral("png");
    QString extension;
    unsigned int codecId = 0;
    int width = 0;
    int height = 0;
    int quality = 0;
    bool allOutput = false;
    bool keepExif = false;
    bool keepAspectRatio = false;
    bool supportAnimation = false;
    QString animationSuffix;
    QString animationFormat;
    unsigned int animationCodecId = 0;
    int frameFormat = -1;

    // The format's one name before a user: "JPG", as the format popup names it, not "JPEG".
    QString displayName() const { return extension.toUpper(); }
};
