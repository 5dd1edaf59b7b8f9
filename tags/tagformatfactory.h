#pragma once

#include <memory>

class ITagFormat;
class TagStream;

// Container formats by index: 0 ".wav", 1 ".wma", 2 ".mp3", 3 ".aac", 4 ".m4a", 5 ".ogg",
// 6 ".ape", 7 ".flac".
namespace TagFormats {

constexpr int kCount = 8;

// The format an extension (from the last "." of a path, any case) selects, or -1.
int FormatOfPath(const wchar_t *path);

// The tag slot of the main handler of a format.
int MainSlot(int format);

// Whether a format also carries ID3v1 and ID3v2 tags.
bool HasId3Tags(int format);

// The main handler of a format when the stream holds that format, else null.
std::unique_ptr<ITagFormat> CreateMainHandler(int format, TagStream *stream);

} // namespace TagFormats
