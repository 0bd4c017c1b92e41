#include "app/scale_control.h"

#include "app/frame_rate.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// The controller's shares lie on this grid, so that a step is large enough to be worth re-sizing the
// targets for and the share cannot creep.
constexpr double GRID = 0.05;
// A step down aims this much above the target, so that the next second does not fall short again; a step
// up is taken only when it promises this much more, so that it does not undo a step down.
constexpr double DOWN_AIM = 1.08;
constexpr double UP_MARGIN = 1.2;

const float KEY_LADDER[] = {0.25f, 0.3f, 0.35f, 0.4f, 0.5f, 0.6f, 0.7f, 0.85f, 1.0f};

double gridBelow(double scale) {
    return std::floor(scale / GRID + 1e-6) * GRID;
}

// The share at which a second of `fps` at `scale` would run at `rate`, with the frame's cost taken to
// follow its pixels, the share squared. Fixed costs (the shadow map) make the real change smaller.
double shareFor(double scale, double fps, double rate) {
    return scale * std::sqrt(fps / rate);
}

} // namespace

int scaledSide(int side, float scale) {
    return std::max(1, static_cast<int>(std::lround(side * static_cast<double>(scale))));
}

float boundedScale(float scale) {
    return std::clamp(scale, SMALLEST_SCALE, LARGEST_SCALE);
}

float stepScale(float scale, int direction) {
    constexpr float NEAR = 1e-3f;
    if (direction < 0) {
        auto above = std::lower_bound(std::begin(KEY_LADDER), std::end(KEY_LADDER), scale - NEAR);
        return above == std::begin(KEY_LADDER) ? SMALLEST_SCALE : *(above - 1);
    }
    auto above = std::upper_bound(std::begin(KEY_LADDER), std::end(KEY_LADDER), scale + NEAR);
    return above == std::end(KEY_LADDER) ? LARGEST_SCALE : *above;
}

float nextScale(float scale, double fps, double targetFps) {
    if (fps < targetFps) {
        double down = std::min(gridBelow(shareFor(scale, fps, targetFps * DOWN_AIM)), scale - GRID);
        return boundedScale(static_cast<float>(down));
    }
    double up = gridBelow(shareFor(scale, fps, targetFps * UP_MARGIN));
    return up >= scale + GRID ? boundedScale(static_cast<float>(up)) : scale;
}

float controlScale(ScaleControl& control, float scale, double now) {
    if (control.targetFps <= 0)
        return scale;
    if (control.windowStart < 0.0) {
        control.windowStart = now;
        control.frames = 0;
        return scale;
    }
    // The first second pays for the driver compiling shaders on first use: it is measured, not acted on.
    const bool first = control.fps < 0.0f;
    if (!countFrame(now, control.windowStart, control.frames, control.fps) || first)
        return scale;
    return nextScale(scale, control.fps, control.targetFps);
}

void holdFrameRate(ScaleControl& control, int targetFps) {
    control = ScaleControl();
    control.targetFps = std::max(0, targetFps);
}
