#pragma once

#include <cstdint>
#include <string>

#include "mmc.h"

// An encoder configuration at quality 80; width 0 keeps the source size.
MMC_Handle benchConfig(uint32_t width, uint32_t height);

// One conversion straight through the codec library's C interface, as the program's
// converter driver asks for it: a file for "gif" and "webp", numbered stills
// (001.<ext>, ...) in the folder `output` for the still formats; an output file already
// there is removed first. Returns once the job
// has ended; true when it succeeded. The configuration stays the caller's.
bool convertWithLibrary(const std::string &input, const std::string &format, MMC_Handle config,
                        const std::string &output);
