// Timed control points and the stepping along a uniform Catmull-Rom spline through them, shared by the
// camera's and the light's paths.
#pragma once

#define GLM_ENABLE_EXPERIMENTAL
#include <glm/glm.hpp>
#include <glm/gtx/spline.hpp>

#include <array>
#include <cstdint>
#include <vector>

struct PathControlPoint {
    static constexpr const char* OWNER = "camera";
    glm::vec3 position{0.0f};
    glm::vec3 target{0.0f};
    double time = 0.0;  // seconds from the path start, a clock reading once the path has started
    bool dofOn = false; // depth of field in the segment that starts here
};

struct LightPathPoint {
    static constexpr const char* OWNER = "light";
    glm::vec3 position{0.0f};
    double time = 0.0;
};

// P0..P3 of the current segment; the segment runs from P1 to P2, P0 and P3 shape the tangents.
template <typename Point> using PathWindow = std::array<Point, 4>;

// What one frame's step did: moved the window on, found the clock inside the segment at `s`, or neither.
struct PathStep {
    enum Kind { ADVANCED, INSIDE, OUTSIDE };
    Kind kind = OUTSIDE;
    float s = 0.0f;
};

// Appends a point; the first one goes in twice so that it serves as P0 and P1 of the first segment.
template <typename Point> void addControlPoint(std::vector<Point>& path, const Point& point);

// Repeats the last point so that it serves as P2 and P3 of the last segment; reports a path too short.
template <typename Point> void closePath(std::vector<Point>& path);

template <typename Point> void rebasePathTimes(std::vector<Point>& path, double pathStartTime);

// A closed path through `rows`, in order.
template <typename Point> std::vector<Point> buildPath(const std::vector<Point>& rows);

std::vector<PathControlPoint> buildCameraPath();
std::vector<LightPathPoint> buildLightPath();

// Binds the path to the clock on its first call; false while the path is too short to walk along.
template <typename Point>
bool startPath(std::vector<Point>& path, double& pathStartTime, PathWindow<Point>& window, double now);

// Moves the window on by at most one segment, or locates `now` inside the current one.
template <typename Point>
PathStep stepPath(const std::vector<Point>& path, PathWindow<Point>& window, int16_t& segmentIndex,
                  double now);

template <typename Point>
glm::vec3 splinePoint(const PathWindow<Point>& window, glm::vec3 Point::*field, float s) {
    return glm::catmullRom(window[0].*field, window[1].*field, window[2].*field, window[3].*field, s);
}
