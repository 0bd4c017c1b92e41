// Frame-rate window: counts frames and measures the rate once at least a second has passed.
#pragma once

// Counts one frame at clock reading `now`; returns true when a window closed and `fps` holds its rate.
bool countFrame(double now, double& windowStart, int& frameCount, float& fps);
