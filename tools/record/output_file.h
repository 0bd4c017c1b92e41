// The recording's file is written under a hidden name beside the requested one and renamed once complete:
// until then, and after any failure, nothing is under the requested name.
#pragma once

#include <string>
#include <sys/types.h>

class TemporaryOutput {
  public:
    explicit TemporaryOutput(const std::string& target);
    // Removes the hidden file unless it was committed.
    ~TemporaryOutput();
    TemporaryOutput(const TemporaryOutput&) = delete;
    TemporaryOutput& operator=(const TemporaryOutput&) = delete;

    // Creates the hidden file; empty when that worked, otherwise why not.
    std::string create();
    // Renames it to the requested name; empty when that worked, otherwise why not.
    std::string commit();

    const std::string target, path;

  private:
    bool created = false, committed = false;
};

// The process writing the hidden file: killed, like the file removed, when this process leaves through
// exit() before the file was committed (the window system's fatal errors end a program that way).
void watchEncoder(pid_t encoder);
