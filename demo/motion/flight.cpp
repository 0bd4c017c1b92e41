#include "motion/flight.h"

#include <algorithm>

double flightLength() {
    // The overlay asks every frame; the path is built once.
    static const double length = [] {
        std::vector<PathControlPoint> path = buildCameraPath();
        return path.back().time - path.front().time;
    }();
    return length;
}

void followPaths(Camera& camera, MovingLight& light, double from, double to, double step) {
    for (double time = from; time < to; time = std::min(time + step, to)) {
        camera.followPath(time);
        light.update(time);
    }
}

void restartPaths(Camera& camera, MovingLight& light, double start) {
    camera.restartPath();
    light = MovingLight();
    // Bound at once rather than at the next frame: in walk mode the camera's path would otherwise wait for
    // the return to the flight and fall behind the light.
    camera.followPath(start);
    light.update(start);
}
