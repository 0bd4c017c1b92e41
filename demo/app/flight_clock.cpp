#include "app/flight_clock.h"

#include <algorithm>

void FlightClock::begin(double wallNow) {
    if (startReading < 0.0)
        startReading = reading(wallNow);
}

void FlightClock::setPaused(bool pause, double wallNow) {
    if (pause == paused)
        return;
    if (pause)
        heldReading = reading(wallNow);
    else
        offset = heldReading - wallNow;
    paused = pause;
}

FlightJump FlightClock::seek(double target, double wallNow) {
    begin(wallNow);
    double now = reading(wallNow), current = now - startReading;
    if (target >= current) {
        double delta = target - current;
        offset += delta;
        heldReading += delta;
        return {false, now, now + delta};
    }
    startReading = now - target;
    return {true, startReading, now};
}

double seekTarget(double current, double delta, double end) {
    return std::clamp(current + delta, 0.0, std::max(current, end));
}
