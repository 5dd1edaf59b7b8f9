#pragma once

#include <QString>

// One history entry, keyed by its output path. A record built for saving starts
// as new and not a video, so the history list marks a freshly finished job.
struct convertedInfo
{
    QString imgPath;
    QString convertedPath;
    QString preferencePath;
    QString resolution;
    QString time;
    QString size;
    QString extend;
    QString title;
    QString artist;
    QString album;
    QString genre;
    bool isVideo = false;
    bool isNew = true;
    QString format;
    QString createTime;
    // What identified the output when it was written (QOutputIdentity); empty in entries
    // of older or hand-written files, whose outputs are then never deleted.
    QString identity;
};
