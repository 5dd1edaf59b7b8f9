#pragma once

#include <cstdio>
#include <string>

// The file a conversion writes before it is complete: a new file beside the destination
// under a name of its own, given the destination's name only when the job succeeds. Its
// name pattern lets a later run recognise what a killed run left behind. A job writing
// many stills does the same with a folder.
namespace WorkingFile {

// Creates an empty file that did not exist before and was not reached through a link;
// returns its path, or an empty text when none could be made. descriptor is left open
// on it: the file is written through it alone, never opened again by name.
std::string create(const std::string &destination, int &descriptor);

// An empty folder of its own beside destination; its path, or an empty text.
std::string createFolder(const std::string &destination);

// A stream of its own over an open descriptor, writing where the file's offset stands;
// the descriptor stays open. Null when none can be made.
FILE *openForWriting(int descriptor);

// Whether path still names the file behind descriptor, rather than something put in its place.
bool isAt(const std::string &path, int descriptor);

// Gives the working file at path, while it is still the one behind descriptor, the
// destination's name, or when something took that name meanwhile the next free one the
// way the list numbers outputs ("name(1).gif", "name(2).gif"). Never replaces anything.
// Returns the name given, or an empty text with errno telling why.
std::string commit(const std::string &path, int descriptor, const std::string &destination);

// The same for a working folder; a folder's name has no extension ("name(1)").
std::string commitFolder(const std::string &path, const std::string &destination);

// Removes the working files and folders, of this user, in the destination's folder that
// are older than a day: no job that is still running is that old. Of a folder only the
// stills it holds go ("<name>_<number>.<extension>"); anything else keeps it.
void removeStale(const std::string &destination);

} // namespace WorkingFile
