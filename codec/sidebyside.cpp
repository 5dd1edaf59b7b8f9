#include "sidebyside.h"

#include <thread>
#include <vector>

void runSideBySide(int count, const std::function<void(int part)> &work)
{
    std::vector<std::thread> helpers;
    for (int part = 1; part < count; ++part)
        helpers.emplace_back(work, part);
    if (count > 0)
        work(0);
    for (std::thread &helper : helpers)
        helper.join();
}
