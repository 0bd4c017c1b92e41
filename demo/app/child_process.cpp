#include "app/child_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// A crash in the child ends it quietly, whatever handlers this process installed (a sanitizer's, say), and
// the end of this process ends it too, so that nothing runs on unwatched.
void runInChild(const std::function<void()>& work, pid_t parent) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent)
        _exit(1);
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

// Returns when the child behind `childEnd` ends or after `timeout`, whichever comes first.
void awaitChildEnd(int childEnd, std::chrono::milliseconds timeout) {
    if (childEnd < 0) {
        std::this_thread::sleep_for(timeout);
        return;
    }
    pollfd end{childEnd, POLLIN, 0};
    poll(&end, 1, static_cast<int>(timeout.count()));
}

} // namespace

ChildProcess::ChildProcess(const std::function<void()>& work, const ChildLimits& limits)
    : limits(limits), deadline(std::chrono::steady_clock::now() +
                               std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                   std::chrono::duration<double>(limits.seconds))) {
    // Output still buffered here would otherwise be written twice.
    fflush(nullptr);
    pid_t parent = getpid();
    startBytes = residentBytes(parent);
    child = fork();
    if (child == 0)
        runInChild(work, parent);
    // The wait then ends with the child instead of at the next look at its memory.
    if (child > 0)
        childEnd = static_cast<int>(syscall(SYS_pidfd_open, child, 0));
}

ChildProcess::~ChildProcess() {
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    if (childEnd >= 0)
        close(childEnd);
}

bool ChildProcess::finished() {
    if (child <= 0)
        return true;
    int status = 0;
    pid_t ended = 0;
    do
        ended = waitpid(child, &status, WNOHANG);
    while (ended < 0 && errno == EINTR);
    if (ended == 0 && std::chrono::steady_clock::now() <= deadline &&
        residentBytes(child) <= startBytes + limits.addedBytes)
        return false;
    if (ended == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        verdict = false;
    } else {
        verdict = ended > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    child = -1;
    return true;
}

bool ChildProcess::survived() {
    while (!finished())
        awaitChildEnd(childEnd, std::chrono::milliseconds(2));
    return verdict;
}

bool survivesInChild(const std::function<void()>& work, const ChildLimits& limits) {
    return ChildProcess(work, limits).survived();
}
