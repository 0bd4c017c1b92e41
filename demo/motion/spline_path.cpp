#include "motion/spline_path.h"

#include <cstdio>

namespace {

constexpr size_t WINDOW_SIZE = 4;

template <typename Point>
void copyWindow(const std::vector<Point>& path, size_t first, PathWindow<Point>& window) {
    for (size_t i = 0; i < WINDOW_SIZE; ++i)
        window[i] = path[first + i];
}

} // namespace

template <typename Point> void addControlPoint(std::vector<Point>& path, const Point& point) {
    path.push_back(point);
    if (path.size() == 1)
        path.push_back(point);
}

template <typename Point> void closePath(std::vector<Point>& path) {
    if (path.size() < 3) {
        printf("Error: Too view control points for %s path specified.", Point::OWNER);
        return;
    }
    path.push_back(path.back());
}

template <typename Point> void rebasePathTimes(std::vector<Point>& path, double pathStartTime) {
    for (Point& point : path)
        point.time += pathStartTime;
}

template <typename Point> std::vector<Point> buildPath(const std::vector<Point>& rows) {
    std::vector<Point> path;
    for (const Point& row : rows)
        addControlPoint(path, row);
    closePath(path);
    return path;
}

template <typename Point>
bool startPath(std::vector<Point>& path, double& pathStartTime, PathWindow<Point>& window, double now) {
    if (path.size() < WINDOW_SIZE)
        return false;
    if (pathStartTime == -1.0) {
        pathStartTime = now;
        rebasePathTimes(path, pathStartTime);
        copyWindow(path, 0, window);
    }
    return true;
}

template <typename Point>
PathStep stepPath(const std::vector<Point>& path, PathWindow<Point>& window, int16_t& segmentIndex,
                  double now) {
    double segmentStart = window[1].time, segmentEnd = window[2].time;
    if (now > segmentEnd && segmentIndex + WINDOW_SIZE < path.size()) {
        ++segmentIndex;
        copyWindow(path, segmentIndex, window);
        return {PathStep::ADVANCED};
    }
    if (now < segmentStart || now > segmentEnd)
        return {PathStep::OUTSIDE};
    return {PathStep::INSIDE, static_cast<float>((now - segmentStart) / (segmentEnd - segmentStart))};
}

#define INSTANTIATE_PATH(Point)                                                                              \
    template void addControlPoint(std::vector<Point>&, const Point&);                                        \
    template void closePath(std::vector<Point>&);                                                            \
    template void rebasePathTimes(std::vector<Point>&, double);                                              \
    template std::vector<Point> buildPath(const std::vector<Point>&);                                        \
    template bool startPath(std::vector<Point>&, double&, PathWindow<Point>&, double);                       \
    template PathStep stepPath(const std::vector<Point>&, PathWindow<Point>&, int16_t&, double);

INSTANTIATE_PATH(PathControlPoint)
INSTANTIATE_PATH(LightPathPoint)
