// GPU time of each render pass for the overlay, from timer queries begun and ended by the passes' scopes.
// A frame's queries are read at the end of the next frame, and only once their results are there, so that
// reading never waits for the GPU. Nothing is queried unless the timers run.
#pragma once

#include "app/probes.h"
#include "render/gl_objects.h"

struct PassGpuTimes {
    Query queries[2][PASS_COUNT];
    bool issued[2][PASS_COUNT] = {};
    int current = 0;                      // the set of queries this frame's passes use
    double milliseconds[PASS_COUNT] = {}; // as last read; negative when the pass did not run
    bool running = false;

    // Makes the queries on the first start and observes the passes from the next one on.
    void start();
    void stop();
    void observe(RenderPass pass, bool begins);
    // At the end of a frame: takes the previous frame's times that have arrived, then switches sets.
    void endFrame();
};
