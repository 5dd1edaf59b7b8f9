#pragma once

#include <string>

// The file a conversion writes before it is complete: a new file beside the destination
// under a name of its own, renamed over the destination only when the job succeeds. Its
// name pattern lets a later run recognise what a killed run left behind.
namespace WorkingFile {

// Creates an empty file that did not exist before and was not reached through a link;
// returns its path, or an empty text when none could be made.
std::string create(const std::string &destination);

// Removes the working files, of this user, in the destination's folder that are older
// than a day: no job that is still running is that old.
void removeStale(const std::string &destination);

} // namespace WorkingFile
