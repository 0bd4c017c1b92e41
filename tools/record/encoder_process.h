// The ffmpeg program as a child process: raw frames go to its standard input, and its exit is watched.
#pragma once

#include <csignal>
#include <string>
#include <sys/types.h>
#include <vector>

// True when `program` is an executable file in a folder of PATH.
bool onPath(const char* program);

class EncoderProcess {
  public:
    // Starts `arguments` (the program first, looked up on PATH) with a pipe on its standard input and
    // `extraInput` as its file descriptor 3, in a process group of its own so that a Ctrl+C in the terminal
    // reaches this process only. The start failed when running() is false.
    EncoderProcess(const std::vector<std::string>& arguments, int extraInput);
    // Stops the program if it still runs.
    ~EncoderProcess();
    EncoderProcess(const EncoderProcess&) = delete;
    EncoderProcess& operator=(const EncoderProcess&) = delete;

    bool running() const { return pid > 0; }
    pid_t id() const { return pid; }

    enum WriteResult { WRITTEN, PROGRAM_GONE, INTERRUPTED };
    // Writes all of `data`, unless the program stops reading or `interrupted` becomes nonzero.
    WriteResult write(const void* data, size_t size, const volatile sig_atomic_t& interrupted);
    // The same for any file: PROGRAM_GONE where the file takes no more.
    static WriteResult writeAll(int fd, const void* data, size_t size,
                                const volatile sig_atomic_t& interrupted);

    // Ends the input and waits for the program; its wait status, or -1 when waiting was interrupted.
    int finish(const volatile sig_atomic_t& interrupted);

    // Kills the program and waits for it.
    void stop();

  private:
    pid_t pid = -1;
    int input = -1;
};

// "exit code N" or "killed by signal N", for a wait status.
std::string describeStatus(int status);
