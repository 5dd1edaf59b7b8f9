#pragma once

#include <QList>
#include <QObject>
#include <QUrl>

// Stands behind QDesktopServices::setUrlHandler in tests: what would open a browser or a
// file manager is only recorded.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};
