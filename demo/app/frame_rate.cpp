#include "app/frame_rate.h"

bool countFrame(double now, double& windowStart, int& frameCount, float& fps) {
    ++frameCount;
    double elapsed = now - windowStart;
    if (elapsed < 1.0)
        return false;
    fps = static_cast<float>(frameCount / elapsed);
    frameCount = 0;
    windowStart = now;
    return true;
}
