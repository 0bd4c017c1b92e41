// What ends a recording from outside, and what it then leaves behind. Main owns the one guard of a run:
// while it lives, Ctrl+C, a terminal hang-up or a termination request only raise its flag, which the
// recording checks to stop and clean up in order; and should the process leave through exit() (the window
// system's fatal errors end a program that way), the encoder it was told of is killed and the unfinished
// file removed.
#pragma once

#include <csignal>
#include <string>
#include <sys/types.h>

class RecordingGuard {
  public:
    // Takes over SIGINT, SIGTERM and SIGHUP, and ignores SIGPIPE: an encoder that ends early shows as a
    // failed write instead.
    RecordingGuard();
    // Gives the signals back to their default handling.
    ~RecordingGuard();
    RecordingGuard(const RecordingGuard&) = delete;
    RecordingGuard& operator=(const RecordingGuard&) = delete;

    bool interrupted() const { return caught != 0; }
    // The flag itself, for waits that must end when it is raised.
    const volatile sig_atomic_t& interruption() const { return caught; }

    // The file to remove and the encoder to kill at an exit(); empty and -1: none.
    void watchFile(const std::string& path) { file = path; }
    void watchEncoder(pid_t pid) { encoder = pid; }

  private:
    // Signal and exit handlers take no argument: they reach the flag, and the guard, through static storage.
    static volatile sig_atomic_t caught;
    static RecordingGuard* active;
    static void noteSignal(int);
    static void removeLeftovers();

    std::string file;
    pid_t encoder = -1;
};
