#include "app/headless/EngineProcesses.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace lt {

namespace {

// Signals the children still alive: the processes whose parent is this one.
void signalChildren(int signal)
{
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return;
    const pid_t self = ::getpid();
    while (const dirent* entry = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0')
            continue;
        std::ifstream stat("/proc/" + std::string(entry->d_name) + "/stat");
        std::string text;
        std::getline(stat, text);
        // The command name may hold blanks and parentheses: fields follow the last ')'.
        const std::size_t close = text.rfind(')');
        if (close == std::string::npos || close + 4 > text.size())
            continue;
        const long parent = std::strtol(text.c_str() + close + 4, nullptr, 10);
        if (parent == self)
            ::kill(static_cast<pid_t>(pid), signal);
    }
    ::closedir(proc);
}

} // namespace

void adoptEngineProcesses()
{
    ::prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0);
}

void endEngineProcesses(int graceMs)
{
    // The zygotes end only when the process that started them does, and by
    // now nothing of the engine has anything left to do: each child is asked
    // to end, and killed when it has not within graceMs. A child that ends
    // leaves its own children to this process, which ends them in turn.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(graceMs);
    int signal = SIGTERM;
    for (;;) {
        signalChildren(signal);
        pid_t pid;
        while ((pid = ::waitpid(-1, nullptr, WNOHANG)) > 0) {
        }
        if (pid < 0 && errno == ECHILD)
            return;
        if (std::chrono::steady_clock::now() >= deadline)
            signal = SIGKILL;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace lt
