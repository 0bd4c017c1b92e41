// Runs the demo's frames on a clock the tool sets, for the programs under tools/.
#pragma once

#include "app/demo_loop.h"

#include <glm/glm.hpp>

// Renders the frame of clock reading `time`. The clock is handed over as set, not read back, so that a
// moment renders the same however it was reached.
void frameAt(const ShaderPrograms& programs, double time);

// Moves the camera and the light along their paths from `from` to `to` in steps of `step` seconds without
// drawing, as the frames in between would. Both paths advance at most one segment per step, so the step
// must stay below their shortest segment (2 s).
void followPaths(double from, double to, double step);

// Walk mode with the camera at `position`, heading and pitch in radians.
void enterWalk(const glm::vec3& position, float heading, float pitch);
