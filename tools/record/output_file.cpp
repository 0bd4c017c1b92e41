#include "output_file.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// What an exit() would leave behind; kept where an exit handler finds it.
struct Leftovers {
    std::string file;
    pid_t encoder = -1;
};
Leftovers leftovers;

void removeLeftovers() {
    if (leftovers.encoder > 0)
        kill(leftovers.encoder, SIGKILL);
    if (!leftovers.file.empty() && unlink(leftovers.file.c_str()) == 0)
        std::fprintf(stderr, "record: stopped; the unfinished recording was removed\n");
}

std::string hiddenName(const std::string& target) {
    size_t slash = target.rfind('/');
    size_t name = slash == std::string::npos ? 0 : slash + 1;
    return target.substr(0, name) + "." + target.substr(name) + "." + std::to_string(getpid()) + ".part";
}

} // namespace

TemporaryOutput::TemporaryOutput(const std::string& target) : target(target), path(hiddenName(target)) {}

TemporaryOutput::~TemporaryOutput() {
    if (created && !committed)
        unlink(path.c_str());
    leftovers = Leftovers();
}

std::string TemporaryOutput::create() {
    struct stat info;
    if (stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return target + " is a folder";
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0)
        return std::strerror(errno);
    close(fd);
    created = true;
    leftovers.file = path;
    static bool handlerInstalled = std::atexit(removeLeftovers) == 0;
    (void)handlerInstalled;
    return "";
}

std::string TemporaryOutput::commit() {
    if (rename(path.c_str(), target.c_str()) != 0)
        return std::strerror(errno);
    committed = true;
    leftovers = Leftovers();
    return "";
}

void watchEncoder(pid_t encoder) {
    leftovers.encoder = encoder;
}
