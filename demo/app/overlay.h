// The on-screen overlay (F12), drawn with Dear ImGui over the finished frame, on the window only, at its
// full size: the flight's timeline, the frame rate and recent frame times, each pass's GPU time, the effect
// switches, the depth-of-field view, the scene's scale and the frame rate it holds, and the keys. Hidden it
// costs nothing: no ImGui frame, no timer query.
#pragma once

#include "app/pass_gpu_times.h"

#include <deque>

struct Overlay {
    bool visible = false;
    bool ready = false;           // ImGui and its back-ends are set up, on the first show
    std::deque<double> frameEnds; // wall-clock readings of the frames of the last few seconds
    PassGpuTimes passTimes;
};

// F12. While the overlay shows, the pointer is free to click it and walk mode's mouse look rests; the keys
// and the wheel still walk.
void toggleOverlay();

// Draws the overlay, if it shows, over the frame in the window's back buffer; `now` is the wall clock.
void drawOverlay(double now);

// Shuts ImGui down and releases the overlay's GL objects; the context must be current.
void shutdownOverlay();
