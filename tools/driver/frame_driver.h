// Runs the demo's frames on a clock the tool sets, for the programs under tools/.
#pragma once

#include "app/demo_loop.h"

#include <glm/glm.hpp>

// The shortest segment of the camera's and the light's paths, in seconds.
constexpr double SHORTEST_PATH_SEGMENT = 2.0;

// Renders the frame of clock reading `time`. The clock is handed over as set, not read back, so that a
// moment renders the same however it was reached.
void frameAt(const ShaderPrograms& programs, double time);

// Moves the light, and in demo mode the camera, along their paths from `from` to `to` in steps of `step`
// seconds without drawing, as the frames in between would. Both paths advance at most one segment per step,
// so the step must stay below SHORTEST_PATH_SEGMENT.
void followPaths(double from, double to, double step);

// Walk mode with the camera at `position`, heading and pitch in radians, and held there: the walk input
// is fixed (pointer still, no key, no wheel), whatever the window's pointer and keys do.
void enterWalk(const glm::vec3& position, float heading, float pitch);
