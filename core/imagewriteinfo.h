#pragma once

#include <QString>

// Context of the image-write callback; each job keeps its own copy.
struct ImageWriteInfo
{
    unsigned int counter = 0; // stills written so far; incremented before naming a file
    QString folder;
    QString coverPath; // last thumbnail written, for callbacks that make one
    QString framePath; // last frame written
    QString extension;
    QString baseName;
    void *user = nullptr; // set by the job to the user pointer of its start call
    int systemError = 0;  // errno of a still that could not be stored
};
