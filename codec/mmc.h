/*
 * Glintora codec library: a plain C interface over FFmpeg.
 *
 * Conventions shared by every family:
 *  - Handles are opaque 32-bit values; 0 means failure or none. Ids are never reused,
 *    so a stale or foreign handle gives a failure result, never a crash.
 *  - Constructors that take an argument are called with -1.
 *  - Texts go in as NUL-terminated UTF-8 and are copied. A returned text is owned by the
 *    handle and stays valid until the next call that changes the selection or until the
 *    handle is closed; null means absent.
 *  - Times are unsigned 64-bit microseconds from the start of the media.
 *  - Yes/no results are exactly 1 for yes and 0 for no.
 *  - Every call is safe from several threads at once. Callbacks run on threads of the
 *    library, never on the caller's thread.
 */
#ifndef GLINTORA_MMC_H
#define GLINTORA_MMC_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint32_t MMC_Handle;

/* Bytes of an attached picture: what MMC_GetMediaTag(h, "cover_image") points at. */
typedef struct MMC_Blob {
    const unsigned char *data;
    unsigned int size;
} MMC_Blob;

/* A screenshot of the player: data is a complete BMP file. */
typedef struct MMC_Capture {
    unsigned char *data;
    unsigned int size;
    unsigned int width;
    unsigned int height;
} MMC_Capture;

/* Receives one encoded still; returns how many bytes it stored. A count below size
 * makes the conversion fail. */
typedef unsigned (*MMC_ImageWriteFn)(void *ctx, const unsigned char *data, unsigned size);
/* Receives one player frame, valid until the callback returns. */
typedef int (*MMC_FrameFn)(void *ctx, void *frame);

/* Codec ids as callers pass them. */
enum {
    MMC_CODEC_NONE = 0,
    MMC_CODEC_MJPEG = 8,
    MMC_CODEC_H264 = 28,
    MMC_CODEC_PNG = 62,
    MMC_CODEC_BMP = 79,
    MMC_CODEC_TIFF = 97,
    MMC_CODEC_GIF = 98,
    MMC_CODEC_WEBP = 0x57454250,
    MMC_CODEC_APNG = 0x41504E47,
    MMC_CODEC_HEVC = 0x48323635,
    MMC_CODEC_AAC = 0x15002,
    MMC_CODEC_UNSET = (int)0xFFFFFFFF
};

/* Pixel formats as callers pass them. */
enum { MMC_PIX_YUV420P = 0, MMC_PIX_RGB24 = 2, MMC_PIX_BGRA = 30 };

/* Track types. */
enum { MMC_TRACK_VIDEO = 1, MMC_TRACK_AUDIO = 2, MMC_TRACK_SUBTITLE = 8 };

/* ---- Global set-up ------------------------------------------------------------ */
int MMC_SetGlobalOptionA(int option, int value);
int MMC_SetGlobalOptionB(int option, int value);
int MMC_SetConvertingMode(int mode);
/* The folder is copied; it holds the library's log file. */
int MMC_SetWorkDirectory(const char *dir);
/* The pointer is stored and only ever read. */
int MMC_SetGlobalOptionC(int *value, int flag);
/* Non-zero aborts every open and read in progress, process-wide, until cleared. */
int MMC_SetAbortFlag(int on);

/* ---- Media information ---------------------------------------------------------- */
MMC_Handle MMC_CreateMediaInfo(int reserved);
int MMC_OpenMediaFile(MMC_Handle h, const char *path);
/* No disc support: always 0. */
int MMC_OpenDvdFolder(MMC_Handle h, const char *path);
int MMC_SelectDvdTitle(MMC_Handle h, int title);
/* "MP4" for the QuickTime/MP4 family, else the demuxer's name in upper case. */
const char *MMC_GetFormatName(MMC_Handle h);
uint64_t MMC_GetMediaDuration(MMC_Handle h);
/* Display size, after rotation; 0 without video. */
uint32_t MMC_GetVideoWidth(MMC_Handle h);
uint32_t MMC_GetVideoHeight(MMC_Handle h);
int MMC_MediaHasVideo(MMC_Handle h);
int MMC_MediaHasAudio(MMC_Handle h);
/* Text tag, or for "cover_image" a const MMC_Blob* cast to const char*. */
const char *MMC_GetMediaTag(MMC_Handle h, const char *key);
/* A complete BMP file (length = LE u32 at byte 2) of the frame at time t (past the end:
 * the last frame); w x h = 0 x 0 gives the display size. format 1 = BMP, mode 0 =
 * accurate seek. Free with MMC_FreeFrameImage, also after the handle is closed. */
unsigned char *MMC_GrabFrameImage(MMC_Handle h, uint64_t t, int format, uint32_t w,
                                  uint32_t height, int mode);
void MMC_FreeFrameImage(MMC_Handle h, unsigned char *image);
/* Idempotent; aborts a read in progress on another thread. */
void MMC_CloseMedia(MMC_Handle h);
void MMC_DestroyMediaInfo(MMC_Handle h);

uint32_t MMC_GetChapterCount(MMC_Handle h);
uint64_t MMC_GetChapterStart(MMC_Handle h, uint32_t index);
uint64_t MMC_GetChapterDuration(MMC_Handle h, uint32_t index);
const char *MMC_GetChapterTitle(MMC_Handle h, uint32_t index);

/* 0 codec id, 1 bit rate, 4/5 display aspect, 7 frame count (0 when unknown). */
uint32_t MMC_GetVideoInfo0(MMC_Handle h);
uint32_t MMC_GetVideoInfo1(MMC_Handle h);
uint32_t MMC_GetVideoInfo4(MMC_Handle h);
uint32_t MMC_GetVideoInfo5(MMC_Handle h);
uint32_t MMC_GetVideoInfo7(MMC_Handle h);
/* Frame rate as a fraction; the denominator may be 0. */
uint32_t MMC_GetVideoRatioNum(MMC_Handle h);
uint32_t MMC_GetVideoRatioDen(MMC_Handle h);

/* Audio tracks are the audio streams in container order; queries use the selected one
 * (track 0 until another is selected). */
const char *MMC_GetAudioCodecName(MMC_Handle h);
/* 1 sample rate, 2 channels, 3 bit rate, 6 bits per sample, 64 duration. */
uint32_t MMC_GetAudioInfo1(MMC_Handle h);
uint32_t MMC_GetAudioInfo2(MMC_Handle h);
uint32_t MMC_GetAudioInfo3(MMC_Handle h);
uint32_t MMC_GetAudioInfo6(MMC_Handle h);
uint64_t MMC_GetAudioInfo64(MMC_Handle h);
int MMC_GetAudioTrackCount(MMC_Handle h);
int MMC_SelectAudioTrack(MMC_Handle h, int index);
const char *MMC_GetAudioTrackLanguage(MMC_Handle h);
const char *MMC_GetAudioTrackTitle(MMC_Handle h);
int MMC_GetSubtitleTrackCount(MMC_Handle h);
int MMC_SelectSubtitleTrack(MMC_Handle h, int index);
const char *MMC_GetSubtitleTrackLanguage(MMC_Handle h);
const char *MMC_GetSubtitleTrackTitle(MMC_Handle h);
const char *MMC_GetSubtitleCodecName(MMC_Handle h);

/* ---- Encoder configuration ------------------------------------------------------ */
/* Every open copies what it needs, so the configuration may be released right after. */
MMC_Handle MMC_CreateEncodeConfig(void);
void MMC_ReleaseEncodeConfig(MMC_Handle cfg);
/* 0 and 0xFFFFFFFF both mean no picture stream, except in animations ("gif", "webp");
 * unknown to the muxer: its default. */
int MMC_ConfigSetVideoCodec(MMC_Handle cfg, uint32_t codec);
/* 0 and 0xFFFFFFFF both mean no audio. */
int MMC_ConfigSetAudioCodec(MMC_Handle cfg, uint32_t codec);
int MMC_ConfigSetCodecMode(MMC_Handle cfg, int mode);
int MMC_ConfigSetProfile(MMC_Handle cfg, int profile);
int MMC_ConfigSetAudioEncoderName(MMC_Handle cfg, const char *name);
int MMC_ConfigSetVideoSize(MMC_Handle cfg, uint32_t width, uint32_t height);
int MMC_ConfigSetFrameRate(MMC_Handle cfg, uint32_t num, uint32_t den);
int MMC_ConfigSetVideoBitrate(MMC_Handle cfg, uint32_t bps);
int MMC_ConfigSetAudioBitrate(MMC_Handle cfg, uint32_t bps);
int MMC_ConfigSetAudioChannels(MMC_Handle cfg, uint32_t channels);
int MMC_ConfigSetSampleRate(MMC_Handle cfg, uint32_t hz);
/* Picture quality 1..100. */
int MMC_ConfigSetVideoOption(MMC_Handle cfg, uint32_t quality);
int MMC_ConfigSetOptionFlag(MMC_Handle cfg, uint32_t flag);
/* Accepted and kept; null/0 allowed. */
int MMC_ConfigSetBlobOption(MMC_Handle cfg, const char *name, const void *data, uint32_t size);
/* Index 1 set: keep the aspect ratio, fitting inside the requested size. */
int MMC_ConfigSetIndexedOption(MMC_Handle cfg, int index, uint32_t value);
int MMC_ConfigSetIntOption(MMC_Handle cfg, int value);
/* Pixel format of the stills (MMC_PIX_*). */
int MMC_ConfigSetUIntOption(MMC_Handle cfg, uint32_t value);
int MMC_ConfigAddChapter(MMC_Handle cfg, uint64_t start, uint64_t length, const char *title);
int MMC_ConfigSetTrackModeA(MMC_Handle cfg, int mode);
int MMC_ConfigSetTrackModeB(MMC_Handle cfg, int mode);
int MMC_ConfigSetTrackModeC(MMC_Handle cfg, int mode);

/* ---- Converter ------------------------------------------------------------------ */
MMC_Handle MMC_CreateConverter(int reserved);
/* The same converter; it ignores the encoder configuration but for the two codecs. */
MMC_Handle MMC_CreateConverterAlt(int reserved);
/* format is a muxer name, case-sensitive ("gif", "webp", "mp4", "mp3"). The working
 * file beside dst is made here; dst's name is given only at a normal end. The source's first audio track, its subtitles where the muxer takes their
 * codec, and the configuration's chapters go into movie and sound files. */
int MMC_ConverterOpenFile(MMC_Handle conv, const char *src, const char *dst, const char *format,
                          MMC_Handle cfg);
/* No disc support: 0. */
int MMC_ConverterOpenDvd(MMC_Handle conv, const char *src, const char *dst, const char *format,
                         MMC_Handle cfg);
/* Every frame of the image's source becomes one still ("jpeg", "png", "bmp", "tiff")
 * handed to the writer's callback. image and writer may be closed right after. */
int MMC_ConverterOpenImage(MMC_Handle conv, MMC_Handle image, MMC_Handle writer,
                           const char *format, MMC_Handle cfg);
int MMC_ConverterOpenDvdImage(MMC_Handle conv, const char *src, MMC_Handle writer,
                              const char *format, MMC_Handle cfg);
/* The first frame of the image's source becomes one still file at dst. */
int MMC_ConverterOpenImageFile(MMC_Handle conv, MMC_Handle image, const char *dst,
                               const char *format, MMC_Handle cfg);
/* Tracks as source; 0 for an absent track. Track mode A = 1 muxes every track's packets
 * as they come; otherwise the video and audio tracks are decoded and encoded. */
int MMC_ConverterOpenTracks(MMC_Handle conv, MMC_Handle video, MMC_Handle audio,
                            MMC_Handle subtitle, const char *dst, const char *format,
                            MMC_Handle cfg);
int MMC_ConverterOpenTracksImage(MMC_Handle conv, MMC_Handle video, MMC_Handle audio,
                                 MMC_Handle subtitle, MMC_Handle writer, const char *format,
                                 MMC_Handle cfg);
/* length 0: to the end. */
int MMC_ConverterSetTimeRange(MMC_Handle conv, uint64_t start, uint64_t length);
int MMC_ConverterStart(MMC_Handle conv);
int MMC_ConverterIsFinished(MMC_Handle conv);
int MMC_ConverterHasFailed(MMC_Handle conv);
/* Progress in microseconds; total is at least 1 once opened. */
uint64_t MMC_ConverterGetDone(MMC_Handle conv);
uint64_t MMC_ConverterGetTotal(MMC_Handle conv);
/* Where a finished job's file went: dst, or when something took dst meanwhile the next
 * free name ("name(1).gif", "name(2).gif"); nothing is ever replaced. Writes the path, with
 * its null, into path (size bytes) and returns its length; 0 before the job has finished
 * well, for stills handed to a writer, or when size is too small. */
uint32_t MMC_ConverterGetOutputPath(MMC_Handle conv, char *path, uint32_t size);
/* Why an open or a job failed: the source could not be read, or the output not written. */
enum { MMC_FAULT_NONE = 0, MMC_FAULT_SOURCE = 1, MMC_FAULT_OUTPUT = 2 };
/* The fault of the first failure; *systemError (when not null) gets the system's error
 * number (errno) of the call that failed, 0 when none is known. */
int MMC_ConverterGetFault(MMC_Handle conv, int *systemError);
/* 1 = cancelled (failed becomes 1, finished stays 0); 0 = nothing left to cancel. */
int MMC_ConverterCancel(MMC_Handle conv);
/* Joins the job; no callback runs after it returns. */
void MMC_ConverterClose(MMC_Handle conv);
void MMC_DestroyConverter(MMC_Handle conv);

/* ---- Working folders: stills a writer stores before they are complete ------------ */
/* Makes an empty folder beside dst, not dst itself, under a name of the library's own;
 * what killed runs left beside dst more than a day ago goes first. Writes its path into
 * path and returns its length; 0 when none could be made or size is too small. */
uint32_t MMC_CreateWorkingFolder(const char *dst, char *path, uint32_t size);
/* Gives the working folder dst's name, or when dst is taken the next free one
 * ("name(1)", "name(2)"); never replaces anything. Writes the name given into named and
 * returns its length; 0 when the folder could not be named (errno tells why). */
uint32_t MMC_CommitWorkingFolder(const char *folder, const char *dst, char *named, uint32_t size);

/* ---- Images --------------------------------------------------------------------- */
MMC_Handle MMC_ImageCreateWriter(int reserved);
int MMC_ImageSetWriteCallback(MMC_Handle writer, MMC_ImageWriteFn callback, void *ctx);
/* mode 0 reads an existing file, mode 1 creates one that does not exist yet. */
MMC_Handle MMC_ImageOpen(const char *path, int mode);
/* An identity tag: bytes written under a key read back unchanged under it. */
int MMC_ImageSetKey(MMC_Handle image, int key);
uint64_t MMC_ImageGetEncodedSize(MMC_Handle image);
int MMC_ImageReadEncoded(MMC_Handle image, void *buffer, uint64_t size);
/* After a failed MMC_ImageOpen or MMC_ImageWriteFrame, errno holds the system's reason. */
int MMC_ImageWriteFrame(MMC_Handle image, const void *data, uint32_t size);
/* Closes an image or a writer. */
void MMC_ImageClose(MMC_Handle image);

/* ---- Tracks and packets --------------------------------------------------------- */
MMC_Handle MMC_CreateTrack(int type);
int MMC_TrackSetCodec(MMC_Handle track, uint32_t codec);
int MMC_TrackSetTimeBase(MMC_Handle track, uint32_t num, uint32_t den);
int MMC_TrackSetSampleRate(MMC_Handle track, uint32_t hz);
int MMC_TrackSetChannels(MMC_Handle track, uint32_t channels);
int MMC_TrackSetExtraData(MMC_Handle track, const void *data, uint32_t size);
int MMC_TrackSetVideoSize(MMC_Handle track, uint32_t width, uint32_t height);
/* 0/0 = unknown: timing comes from the packets. */
int MMC_TrackSetFrameRate(MMC_Handle track, uint32_t num, uint32_t den);
int MMC_TrackSetDisplaySize(MMC_Handle track, uint32_t width, uint32_t height);
int MMC_TrackSetVideoExtra(MMC_Handle track, uint32_t a, uint32_t b);
/* Accepted before any converter opens the track. */
int MMC_TrackWritePacket(MMC_Handle track, MMC_Handle packet);
/* Presentation time of the last packet a converter consumed. */
uint64_t MMC_TrackGetTime(MMC_Handle track);
void MMC_DestroyTrack(MMC_Handle track);

MMC_Handle MMC_CreatePacket(void);
int MMC_PacketSetPts(MMC_Handle packet, uint64_t pts);
int MMC_PacketSetDts(MMC_Handle packet, uint64_t dts);
int MMC_PacketSetDuration(MMC_Handle packet, uint32_t duration);
/* 1 = key frame. */
int MMC_PacketSetFlags(MMC_Handle packet, uint32_t flags);
/* Copies the bytes; (null, 0) marks the end of the stream. */
int MMC_PacketSetData(MMC_Handle packet, const void *data, uint32_t size);
void MMC_ReleasePacket(MMC_Handle packet);

/* ---- Merger: sources one after the other into one output ------------------------ */
/* Open creates a working file beside dst; the first source added fixes the output's
 * streams and a later one lacking them is refused. The output is complete, and given
 * dst's name, when closed after the sources have drained; a cancelled, failed or unfed
 * merge deletes its working file. Done and total are µs. */
MMC_Handle MMC_CreateMerger(int reserved);
int MMC_MergerOpen(MMC_Handle merger, const char *dst, const char *format, MMC_Handle cfg);
int MMC_MergerStart(MMC_Handle merger);
int MMC_MergerAddFile(MMC_Handle merger, const char *src, uint64_t start, uint64_t length,
                      MMC_Handle cfg);
int MMC_MergerAddDvd(MMC_Handle merger, const char *src, uint64_t start, uint64_t length,
                     MMC_Handle cfg);
int MMC_MergerIsFinished(MMC_Handle merger);
int MMC_MergerHasFailed(MMC_Handle merger);
uint64_t MMC_MergerGetDone(MMC_Handle merger);
uint64_t MMC_MergerGetTotal(MMC_Handle merger);
/* Where a complete output went once closed: dst or the next free name, as for a converter. */
uint32_t MMC_MergerGetOutputPath(MMC_Handle merger, char *path, uint32_t size);
int MMC_MergerCancel(MMC_Handle merger);
void MMC_MergerClose(MMC_Handle merger);
void MMC_DestroyMerger(MMC_Handle merger);

/* ---- Player --------------------------------------------------------------------- */
MMC_Handle MMC_CreatePlayer(int reserved);
void MMC_DestroyPlayer(MMC_Handle player);
int MMC_PlayerSetAudioDevice(MMC_Handle player, const char *name);
int MMC_PlayerOpen(MMC_Handle player, const char *path, uint32_t a, uint32_t b, int c, int d);
void MMC_PlayerClose(MMC_Handle player);
int MMC_PlayerSetInterval(MMC_Handle player, uint64_t interval);
/* 0..200, 100 = unity. */
int MMC_PlayerSetVolume(MMC_Handle player, int volume);
int MMC_PlayerSetFrameCallback(MMC_Handle player, MMC_FrameFn callback, void *ctx);
int MMC_PlayerPlay(MMC_Handle player);
int MMC_PlayerPause(MMC_Handle player);
int MMC_PlayerStop(MMC_Handle player);
int MMC_PlayerIsEnded(MMC_Handle player);
int MMC_PlayerSeek(MMC_Handle player, uint64_t position);
int MMC_PlayerStepFrame(MMC_Handle player, int direction);
uint64_t MMC_PlayerGetDuration(MMC_Handle player);
uint64_t MMC_PlayerGetPosition(MMC_Handle player);
int MMC_PlayerHasVideo(MMC_Handle player);
int MMC_PlayerHasAudio(MMC_Handle player);
uint32_t MMC_PlayerGetVideoWidth(MMC_Handle player);
uint32_t MMC_PlayerGetVideoHeight(MMC_Handle player);
uint32_t MMC_PlayerGetAspectX(MMC_Handle player);
uint32_t MMC_PlayerGetAspectY(MMC_Handle player);
int MMC_PlayerRefresh(MMC_Handle player);
/* Audio block: u32 at 24 = 2 x sample rate, u32 at 40 = byte count, u16 values from 44. */
void *MMC_PlayerGetAudioData(MMC_Handle player, int mode);
void MMC_PlayerReleaseAudioData(MMC_Handle player, void *block);
/* An MMC_Capture of the last presented frame. */
void *MMC_PlayerCaptureFrame(MMC_Handle player, uint32_t width, uint32_t height, int mode);
void MMC_PlayerReleaseCapture(MMC_Handle player, void *capture);
int MMC_PlayerSelectAudioTrack(MMC_Handle player, int index);
/* -1 = none. */
int MMC_PlayerSelectSubtitle(MMC_Handle player, int index);
int MMC_PlayerLoadSubtitleFile(MMC_Handle player, const char *path);

/* ---- Player frames -------------------------------------------------------------- */
/* MMC_PIX_YUV420P (three planes, limited range) or MMC_PIX_BGRA. */
int MMC_FrameGetPixelFormat(void *frame);
int MMC_FrameGetWidth(void *frame);
int MMC_FrameGetHeight(void *frame);
unsigned char *MMC_FrameGetPlane(void *frame, int plane);
int MMC_FrameGetStride(void *frame, int plane);

#ifdef __cplusplus
}
#endif

#endif
