// The commit the benchmark was built from, "-dirty" added when tracked files differed from it, or
// "unknown" for a build outside a git checkout. Generated at every build (build_commit.cmake).
#pragma once

extern const char* const BUILD_COMMIT;

// The CMake build type, "none" when none was chosen.
extern const char* const BUILD_TYPE;
