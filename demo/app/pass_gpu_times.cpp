#include "app/pass_gpu_times.h"

#include "app/demo_app.h"

#include <algorithm>

void PassGpuTimes::start() {
    if (queries[0][0] == 0)
        for (auto& set : queries)
            for (Query& query : set)
                query = Query::generate();
    for (auto& set : issued)
        std::fill(std::begin(set), std::end(set), false);
    std::fill(std::begin(milliseconds), std::end(milliseconds), -1.0);
    theApp->overlayPassObserver = [this](RenderPass pass, bool begins) { observe(pass, begins); };
    running = true;
}

void PassGpuTimes::stop() {
    if (running)
        theApp->overlayPassObserver = nullptr;
    running = false;
}

void PassGpuTimes::observe(RenderPass pass, bool begins) {
    if (begins) {
        glBeginQuery(GL_TIME_ELAPSED, queries[current][pass]);
        return;
    }
    glEndQuery(GL_TIME_ELAPSED);
    issued[current][pass] = true;
}

void PassGpuTimes::endFrame() {
    int previous = 1 - current;
    for (int pass = 0; pass < PASS_COUNT; ++pass) {
        if (!issued[previous][pass]) {
            milliseconds[pass] = -1.0;
            continue;
        }
        GLuint available = GL_FALSE;
        glGetQueryObjectuiv(queries[previous][pass], GL_QUERY_RESULT_AVAILABLE, &available);
        if (!available)
            continue;
        GLuint64 nanoseconds = 0;
        glGetQueryObjectui64v(queries[previous][pass], GL_QUERY_RESULT, &nanoseconds);
        milliseconds[pass] = 1e-6 * static_cast<double>(nanoseconds);
    }
    std::fill(std::begin(issued[previous]), std::end(issued[previous]), false);
    current = previous;
}
