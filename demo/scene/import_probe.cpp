#include "scene/import_probe.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// A crash in the child ends it quietly, whatever handlers this process installed (a sanitizer's, say).
void runInChild(const std::function<void()>& work) {
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        std::signal(signal, SIG_DFL);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    work();
    // No exit handlers: they belong to the parent.
    _exit(0);
}

size_t residentBytes(pid_t process) {
    std::ifstream statm("/proc/" + std::to_string(process) + "/statm");
    size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

} // namespace

ChildProbe::ChildProbe(const std::function<void()>& work, const ProbeLimits& limits)
    : limits(limits), deadline(std::chrono::steady_clock::now() +
                               std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                   std::chrono::duration<double>(limits.seconds))) {
    // Output still buffered here would otherwise be written twice.
    fflush(nullptr);
    startBytes = residentBytes(getpid());
    child = fork();
    if (child == 0)
        runInChild(work);
}

ChildProbe::~ChildProbe() {
    if (child <= 0)
        return;
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
}

bool ChildProbe::survived() {
    if (child <= 0)
        return verdict;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline ||
            residentBytes(child) > startBytes + limits.addedBytes) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            child = -1;
            return verdict = false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    child = -1;
    return verdict = WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool survivesInChild(const std::function<void()>& work, const ProbeLimits& limits) {
    return ChildProbe(work, limits).survived();
}
