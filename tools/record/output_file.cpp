#include "output_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string hiddenName(const std::string& target) {
    size_t slash = target.rfind('/');
    size_t name = slash == std::string::npos ? 0 : slash + 1;
    return target.substr(0, name) + "." + target.substr(name) + "." + std::to_string(getpid()) + ".part";
}

} // namespace

TemporaryOutput::TemporaryOutput(const std::string& target, RecordingGuard& guard)
    : target(target), path(hiddenName(target)), guard(guard) {}

TemporaryOutput::~TemporaryOutput() {
    if (created && !committed)
        unlink(path.c_str());
    guard.watchFile("");
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
    guard.watchFile(path);
    return "";
}

std::string TemporaryOutput::commit() {
    if (rename(path.c_str(), target.c_str()) != 0)
        return std::strerror(errno);
    committed = true;
    guard.watchFile("");
    return "";
}
