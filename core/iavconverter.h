#pragma once

#include "cavencodeparam.h"
#include "converttypes.h"
#include "ctrackdesc.h"
#include "ctrackpacket.h"

#include <QByteArray>

#include <memory>

// Done and time reports of the track mode: (value, user).
typedef void (*ConvertValueFunc)(unsigned int value, void *user);

// The second converter driver as its callers see it; made by CreateAVConverter and ended
// only by DestroyAVConverter (the destructor is not virtual, so nothing deletes through
// this interface).
class IAVConverter
{
public:
    // Converts src into dst; with chapters the source's chapters, clipped to the time
    // range, go into the output first. Reports through cb until one terminal report.
    virtual bool StartConvert(const char *src, const char *dst, CAVEncodeParam *param, void *user,
                              ConvertProgressFunc cb, bool chapters) = 0;
    // Returns once the job's last report has been made; no callback follows.
    virtual void StopConvert() = 0;
    virtual bool StartMerger(const char *dst, CAVEncodeParam *param) = 0;
    // Adds one source to the merge (param may be null: the whole source) and runs the
    // merge's worker when none runs.
    virtual bool AddMergerTask(const char *src, CAVEncodeParam *param, void *user, ConvertProgressFunc cb) = 0;
    // Ends the merge and completes or removes its output; waits for a running worker.
    virtual void StopMerger(bool wait) = 0;
    // Muxes the added tracks into dst on the calling thread until the output is complete.
    virtual bool StartWithTrack(const char *dst, CAVEncodeParam *param, void *user, ConvertValueFunc done,
                                ConvertValueFunc time) = 0;
    virtual unsigned int AddTrack(unsigned int id, unsigned int codec, CTrackDesc *desc) = 0;
    virtual void AddTrack(unsigned int id, unsigned int type, unsigned int codec, CTrackDesc *desc) = 0;
    virtual bool AddPacketToTrack(unsigned int id, CTrackPacket *packet) = 0;
    virtual void StopWithTrack() = 0;

    // Writes the tag values of the job's parameter copy into the destination file,
    // replacing every tag it had. Without a parameter copy it does nothing.
    void setAudioTag();

protected:
    IAVConverter() = default;
    ~IAVConverter() = default;

    std::unique_ptr<CAVEncodeParam> m_param;
    QByteArray m_src;
    QByteArray m_dst;
};

IAVConverter *CreateAVConverter();
void DestroyAVConverter(IAVConverter *converter);
