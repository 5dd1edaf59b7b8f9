#pragma once

#include <string>

// Process-wide settings of the library and the abort flag that every open and read
// polls through libavformat's interrupt callback.
namespace LibraryState {

void initialise();
bool abortRequested();
void setAbort(bool on);
void setWorkDirectory(const std::string &dir);
void setConvertingMode(int mode);

} // namespace LibraryState
