#pragma once

#include <cstdint>

#include "mmc.h"

// Calls outside the public interface, for tests and the benchmark.
extern "C" {

// Frames presented, dropped as late before the callback, and presented more than one
// frame period late, for the media open in the player. 0 for an unknown handle.
int mmcPlayerStatistics(MMC_Handle player, uint64_t *presented, uint64_t *dropped, uint64_t *late);
// Makes the player's sound device stop consuming (on) or resume, as an unplugged
// headset would.
int mmcPlayerStallAudio(MMC_Handle player, int on);

} // extern "C"
