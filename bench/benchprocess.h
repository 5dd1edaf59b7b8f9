#pragma once

#include <functional>
#include <string>
#include <vector>

// One measured run in a child process of its own, so peak memory belongs to that run alone.
struct RunFigures
{
    bool ok = false;
    double seconds = 0;
    long peakKb = 0;
};

RunFigures runInChild(const std::function<bool()> &work);
RunFigures runCommand(const std::vector<std::string> &arguments, std::string *output = nullptr);
