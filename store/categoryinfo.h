#pragma once

#include <string>

// One format of a property-list catalogue category.
struct CategoryInfo
{
    std::string title;
    std::string id;
    std::string ext;
    std::string category;
};
