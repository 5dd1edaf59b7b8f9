#pragma once

#include <cstdint>

class CAVEncodeParam;

// Fills the codec library's encoder configuration from a parameter record; both converter
// drivers use it. Nothing at all for a null record or one with altEngine set.
void FillConvertConfig(uint32_t config, const CAVEncodeParam *param);
