#pragma once

#include <string>

// One subtitle choice of the track menu.
struct subltItemInfo
{
    std::string title; // UTF-8 label
    std::string path;  // UTF-8 side file; empty for "No Subtitle" and embedded tracks
};
