#pragma once

#include <cstdint>
#include <string>

// Tag values carried with the encoder parameters.
struct CAVEncodeMetaInfo
{
    void resetEncodeParam();

    std::string title;
    std::string artist;
    std::string albumArtist;
    std::string composer;
    std::string album;
    std::string genre;
    std::string track;
    std::string year;
    std::string reserved;
    std::string grouping;
    std::string comment;
    std::string disc;
    std::string copyright;
    std::string coverPicture; // raw bytes
    int32_t reservedNumber = 0;
    int32_t coverSize = 0;
    bool keepExif = false;
};
