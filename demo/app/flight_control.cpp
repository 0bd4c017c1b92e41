#include "app/flight_control.h"

#include "app/demo_app.h"
#include "motion/flight.h"

double flightReading(double now) {
    theApp->flightClock.begin(now);
    return theApp->flightClock.reading(now);
}

double flightSeconds(double now) {
    return theApp->flightClock.seconds(now);
}

bool flightPaused() {
    return theApp->flightClock.paused;
}

void followPaths(double from, double to, double step) {
    followPaths(*theApp->camera, *theApp->light, from, to, step);
}

void toggleFlightPause(double now) {
    FlightClock& clock = theApp->flightClock;
    clock.setPaused(!clock.paused, now);
    theApp->pauseSoundtrack(clock.paused);
}

void seekFlight(double seconds, double now) {
    FlightJump jump = theApp->flightClock.seek(seconds, now);
    if (jump.restart)
        restartPaths(*theApp->camera, *theApp->light, jump.from);
    followPaths(jump.from, jump.to, PATH_STEP);
    theApp->placeSoundtrack(seconds, flightPaused());
}

void seekFlightBy(double delta, double now) {
    seekFlight(seekTarget(flightSeconds(now), delta, flightLength()), now);
}
