#pragma once

#include <cstdio>
#include <string>

// The file a conversion writes before it is complete: a new file beside the destination
// under a name of its own, renamed over the destination only when the job succeeds. Its
// name pattern lets a later run recognise what a killed run left behind.
namespace WorkingFile {

// Creates an empty file that did not exist before and was not reached through a link;
// returns its path, or an empty text when none could be made.
std::string create(const std::string &destination);

// Opens a working file made by create() for writing from its start, never through a link
// put in its place; null when it cannot be opened.
FILE *openForWriting(const std::string &path);

// Removes the working files, of this user, in the destination's folder that are older
// than a day: no job that is still running is that old.
void removeStale(const std::string &destination);

} // namespace WorkingFile
