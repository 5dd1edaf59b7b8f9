#include "benchprocess.h"

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

RunFigures waitForChild(pid_t child, std::chrono::steady_clock::time_point started)
{
    RunFigures figures;
    int status = 0;
    struct rusage usage {};
    if (wait4(child, &status, 0, &usage) != child)
        return figures;
    figures.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    figures.peakKb = usage.ru_maxrss;
    figures.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return figures;
}

} // namespace

RunFigures runInChild(const std::function<bool()> &work)
{
    // The child starts with every page the bench holds; memory the bench freed but kept
    // (decoded outputs it compared) would count as the work's own.
    malloc_trim(0);
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0)
        return {};
    if (child == 0)
        _exit(work() ? 0 : 1);
    return waitForChild(child, started);
}

RunFigures runCommand(const std::vector<std::string> &arguments, std::string *output)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return {};
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0)
        return {};
    if (child == 0) {
        dup2(pipeFds[1], STDERR_FILENO);
        dup2(pipeFds[1], STDOUT_FILENO);
        close(pipeFds[0]);
        std::vector<char *> argv;
        for (const std::string &argument : arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(pipeFds[1]);
    std::string text;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = read(pipeFds[0], buffer, sizeof(buffer))) > 0)
        text.append(buffer, static_cast<size_t>(got));
    close(pipeFds[0]);
    if (output)
        *output = text;
    return waitForChild(child, started);
}
