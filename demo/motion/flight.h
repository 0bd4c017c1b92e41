// The flight as a whole: the camera's and the light's paths, stepped together to a moment.
#pragma once

#include "motion/camera.h"
#include "motion/moving_light.h"

// The shortest segment of the camera's and the light's paths, in seconds.
constexpr double SHORTEST_PATH_SEGMENT = 2.0;
// The clock step with which a jump steps the paths: below the shortest segment, so none is skipped.
constexpr double PATH_STEP = 1.0;

// Seconds from the camera path's first point to its last.
double flightLength();

// Steps the light, and the camera's path without moving the camera, from `from` to `to` in steps of `step`
// seconds, as the frames in between would have. Both paths advance at most one segment per step, so the
// step must stay below SHORTEST_PATH_SEGMENT.
void followPaths(Camera& camera, MovingLight& light, double from, double to, double step);

// Both paths back to their beginnings, bound to the clock at reading `start`; the light back where it
// starts out.
void restartPaths(Camera& camera, MovingLight& light, double start);
