// Work that may crash, trip an assertion or run away, tried in a child process first. Assimp 5.2's Collada
// reader does all three on some malformed documents (an array without its count, garbage in an index list,
// a primitive count that the index lists do not match), so the scene file is read there before it is read
// for real.
#pragma once

#include <cstddef>
#include <functional>

struct ProbeLimits {
    double seconds;
    // Resident memory the child may add to what it starts with, a copy of this process.
    size_t addedBytes;
};

// The scene import finishes in well under a second and a few tens of megabytes.
constexpr ProbeLimits SCENE_PROBE_LIMITS{60.0, size_t(2) << 30};

// Runs `work` in a child process: true when it returned there within the limits. Nothing it does reaches
// this process, and the child writes nothing to the console. When no child can be made, `work` is not run
// and the answer is true.
bool survivesInChild(const std::function<void()>& work, const ProbeLimits& limits);
