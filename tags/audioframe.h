#pragma once

class TagStream;

// A decoded MPEG-audio or ADTS frame header.
struct AudioFrameHeader
{
    int version = 0;    // MPEG: version bits (0 = 2.5, 2 = 2, 3 = 1); ADTS: ID bit (1 = MPEG-2)
    int sampleRate = 0; // Hz
    int channels = 0;
    int bitrate = 0;    // bits per second
    int samplesPerFrame = 0;
    int frameLength = 0; // bytes, header included
};

// Header decoders: 0 and the header, or -1. The plain MPEG decoder accepts Layer III only.
int ParseMpegFrameHeader(const unsigned char *bytes, AudioFrameHeader *header);
int ParseMpegFrameHeaderStrict(const unsigned char *bytes, AudioFrameHeader *header);
int ParseAdtsFrameHeader(const unsigned char *bytes, AudioFrameHeader *header);

// Offset of the first byte behind a leading ID3v2 ("ID3") or "ea3" tag, with the stream
// positioned there; -1 when there is none.
int GetId3v2TagSize(TagStream *stream);
int GetEa3TagSize(TagStream *stream);

// Offset of the first audio frame behind any leading ID3v2 tag, or -1 when the stream does not
// hold that kind of audio.
int FindMpegAudioStartStrict(TagStream *stream);
int FindMpegAudioStart(TagStream *stream);
int FindAdtsAudioStart(TagStream *stream);
int FindApeAudioStart(TagStream *stream);
int CheckEa3Header(TagStream *stream);
