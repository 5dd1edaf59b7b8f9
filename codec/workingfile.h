#pragma once

#include <cstdio>
#include <string>

// The file a conversion writes before it is complete: a new file beside the destination
// under a name of its own, renamed over the destination only when the job succeeds. Its
// name pattern lets a later run recognise what a killed run left behind.
namespace WorkingFile {

// Creates an empty file that did not exist before and was not reached through a link;
// returns its path, or an empty text when none could be made. descriptor is left open
// on it: the file is written through it alone, never opened again by name.
std::string create(const std::string &destination, int &descriptor);

// A stream of its own over an open descriptor, writing where the file's offset stands;
// the descriptor stays open. Null when none can be made.
FILE *openForWriting(int descriptor);

// Whether path still names the file behind descriptor, rather than something put in its place.
bool isAt(const std::string &path, int descriptor);

// Removes the working files, of this user, in the destination's folder that are older
// than a day: no job that is still running is that old.
void removeStale(const std::string &destination);

} // namespace WorkingFile
