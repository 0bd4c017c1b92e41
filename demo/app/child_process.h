// Work that may crash, trip an assertion or run away, done in a child process within a time and memory
// limit. Assimp 5.2's Collada reader does all three on some malformed documents (an array without its
// count, garbage in an index list, a primitive count that the index lists do not match), so the scene file
// is read there before it is read for real; DevIL does the same on damaged images, so the image decoders
// run there too.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <sys/types.h>

struct ChildLimits {
    double seconds;
    // Resident memory the child may add to what it starts with, a copy of this process.
    size_t addedBytes;
};

// `work` run in a child process, started at construction, so that this process can go on meanwhile.
// Nothing the work does reaches this process, and the child writes nothing to the console. The time
// limit counts from the start; the memory limit is watched while `survived` waits.
class ChildProcess {
  public:
    ChildProcess(const std::function<void()>& work, const ChildLimits& limits);
    // A child still running is stopped.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Waits for the child: true when the work returned there within the limits. When no child could be
    // made the work never ran, and the answer is true. Asked again, it gives the same answer.
    bool survived();

    // Without waiting: true once the child has ended or was stopped for passing a limit, after which
    // `survived` answers at once.
    bool finished();

  private:
    ChildLimits limits;
    std::chrono::steady_clock::time_point deadline;
    size_t startBytes = 0;
    pid_t child = -1;
    // Readable once the child has ended, where the kernel offers it.
    int childEnd = -1;
    bool verdict = true;
};

// Runs `work` in a child process and waits for it: `ChildProcess(work, limits).survived()`.
bool survivesInChild(const std::function<void()>& work, const ChildLimits& limits);
