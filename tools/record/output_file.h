// The recording's file is written under a hidden name beside the requested one and renamed once complete:
// until then, and after any failure, nothing is under the requested name.
#pragma once

#include "recording_guard.h"

#include <string>

class TemporaryOutput {
  public:
    // The hidden file is left to `guard` to remove at an exit() while it is neither committed nor gone.
    TemporaryOutput(const std::string& target, RecordingGuard& guard);
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
    RecordingGuard& guard;
    bool created = false, committed = false;
};
