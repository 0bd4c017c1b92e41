// Runs the demo's frames on a clock the tool sets, for the programs under tools/.
#pragma once

#include "app/demo_loop.h"
#include "app/flight_control.h"
#include "motion/flight.h"

#include <glm/glm.hpp>

// Renders the frame of clock reading `time`. The clock is handed over as set, not read back, so that a
// moment renders the same however it was reached.
void frameAt(const ShaderPrograms& programs, double time);

// Steps the light and the camera's path to `time` without drawing, so that the frame drawn next at `time`
// shows that moment also where a path enters its next segment there (that frame alone would show the old
// spot).
void settlePaths(double time);

// Walk mode with the camera at `position`, heading and pitch in radians, and held there: the walk input
// is fixed (pointer still, no key, no wheel), whatever the window's pointer and keys do.
void enterWalk(const glm::vec3& position, float heading, float pitch);
