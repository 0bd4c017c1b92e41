// The scene's share of the window's width and height: its bounds, the steps the keys take, and the
// controller that picks the share to hold a frame rate. Pure logic: the clock comes in as an argument.
#pragma once

constexpr float SMALLEST_SCALE = 0.25f;
constexpr float LARGEST_SCALE = 1.0f;

// The controller's state. It measures the frame rate over a second at a time and then may change the share
// once; off while `targetFps` is 0.
struct ScaleControl {
    int targetFps = 0;
    double windowStart = -1.0; // clock reading the measured frames began at; below 0: not begun
    int frames = 0;
    float fps = -1.0f; // the last second's frame rate; below 0: none measured yet
};

// A window side of `side` pixels at share `scale`: rounded, at least one pixel.
int scaledSide(int side, float scale);

// `scale` kept within SMALLEST_SCALE and LARGEST_SCALE.
float boundedScale(float scale);

// The share of the keys' ladder next below (`direction` < 0) or above `scale`; at a bound, that bound.
float stepScale(float scale, int direction);

// The share to draw at after a second that ran at `fps` frames a second at share `scale`, for a target of
// `targetFps`: lower when the rate fell short of the target, higher when the next step up still promises a
// margin above it, otherwise `scale` itself.
float nextScale(float scale, double fps, double targetFps);

// Counts one frame drawn at `scale` that ended at clock reading `now`. At the end of each measured second
// but the first returns the share `nextScale` picks for the frames to come; otherwise, and while the
// controller is off, `scale`.
float controlScale(ScaleControl& control, float scale, double now);

// Turns the controller on for `targetFps` (0: off); the measuring starts afresh with the next frame.
void holdFrameRate(ScaleControl& control, int targetFps);
