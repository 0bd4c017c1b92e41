// What a program was built from: the commit, "-dirty" added when tracked files differed from it, or
// "unknown" for a build outside a git checkout; and the version the build files give. Generated at every
// build (cmake/build_info.cmake).
#pragma once

extern const char* const BUILD_COMMIT;
extern const char* const PROGRAM_VERSION;

// The CMake build type, "none" when none was chosen.
extern const char* const BUILD_TYPE;
