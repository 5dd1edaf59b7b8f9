#pragma once

#include <functional>

// Runs work(0) .. work(count - 1) at once, each on a thread of its own (the caller's for
// the first), and returns when all have returned. For a short step that would keep
// the rest of a job waiting if it ran on one core.
void runSideBySide(int count, const std::function<void(int part)> &work);
