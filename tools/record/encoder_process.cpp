#include "encoder_process.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int EXTRA_INPUT_FD = 3;

// What the program must not inherit: this process's ignored SIGPIPE and its interrupt handling.
void setUpChild(posix_spawnattr_t& attributes) {
    posix_spawnattr_init(&attributes);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP})
        sigaddset(&defaults, signal);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
}

} // namespace

bool onPath(const char* program) {
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    for (size_t begin = 0; begin <= folders.size();) {
        size_t end = folders.find(':', begin);
        if (end == std::string::npos)
            end = folders.size();
        std::string folder = end > begin ? folders.substr(begin, end - begin) : ".";
        std::string candidate = folder + "/" + program;
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return true;
        begin = end + 1;
    }
    return false;
}

EncoderProcess::EncoderProcess(const std::vector<std::string>& arguments, int extraInput) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return;
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_adddup2(&files, pipeEnds[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&files, extraInput, EXTRA_INPUT_FD);
    // Among others the pipe's write end: the program sees the end of its input only when this one closes it.
    posix_spawn_file_actions_addclosefrom_np(&files, EXTRA_INPUT_FD + 1);
    posix_spawnattr_t attributes;
    setUpChild(attributes);
    if (posix_spawnp(&pid, argv[0], &files, &attributes, argv.data(), environ) != 0)
        pid = -1;
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&files);
    close(pipeEnds[0]);
    if (pid > 0)
        input = pipeEnds[1];
    else
        close(pipeEnds[1]);
}

EncoderProcess::~EncoderProcess() {
    if (running())
        stop();
}

EncoderProcess::WriteResult EncoderProcess::write(const void* data, size_t size,
                                                  const volatile sig_atomic_t& interrupted) {
    return writeAll(input, data, size, interrupted);
}

EncoderProcess::WriteResult EncoderProcess::writeAll(int fd, const void* data, size_t size,
                                                     const volatile sig_atomic_t& interrupted) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        if (interrupted)
            return INTERRUPTED;
        ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return PROGRAM_GONE;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return WRITTEN;
}

int EncoderProcess::finish(const volatile sig_atomic_t& interrupted) {
    close(input);
    input = -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR || interrupted)
            return -1;
    }
    pid = -1;
    return status;
}

void EncoderProcess::stop() {
    if (input >= 0)
        close(input);
    input = -1;
    kill(pid, SIGKILL);
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
}

std::string describeStatus(int status) {
    if (WIFSIGNALED(status))
        return "killed by signal " + std::to_string(WTERMSIG(status));
    return "exit code " + std::to_string(WEXITSTATUS(status));
}
