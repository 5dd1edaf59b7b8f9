#pragma once

#include <QMetaType>

// What a conversion job reports through its progress callback.
enum convertState {
    convertStopped = 1,   // stopped on request; reported once with percent 0
    convertFinished = 2,  // finished; reported once with percent 100
    convertPreparing = 3, // preparing a chapter job
    convertFailed = 5,    // failed; reported once with percent 0
    convertProgress = 6,  // running; percent 1-100, strictly increasing
};
Q_DECLARE_METATYPE(convertState)

struct ImageWriteInfo;

// Why a job did not start or failed.
struct JobFailure
{
    enum Side { Unknown, Source, Output };
    Side side = Unknown;
    int systemError = 0; // errno of the call that failed, 0 when none is known
};

// All three run on the job's worker thread; receivers forward to the GUI thread themselves.
typedef void (*ConvertProgressFunc)(unsigned int percent, void *user, convertState state);
typedef void (*ConvertTimeFunc)(unsigned int seconds, void *user);
// Returns the number of bytes it really stored; less than size fails the job.
typedef unsigned int (*ImageWriteFunc)(void *context, const unsigned char *data, unsigned int size);

// Registers convertState under its own name, so queued text-signature connections carry it.
void registerConvertStateMetaType();
