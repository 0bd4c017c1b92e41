// The flight's own clock: the wall clock's reading, moved on or back by seeks and held while paused. Pure
// logic; every wall-clock reading comes in as an argument. With no pause and no seek its reading is the
// wall clock's, so the flight keeps real time.
#pragma once

// Where the paths have to go after a seek: restarted or not, then stepped from `from` to `to` (flight
// readings).
struct FlightJump {
    bool restart = false;
    double from = 0.0, to = 0.0;
};

struct FlightClock {
    double offset = 0.0; // added to the wall clock's reading while running
    bool paused = false;
    double heldReading = 0.0;   // the reading while paused
    double startReading = -1.0; // the reading the flight began at; negative until its first frame

    // The reading at wall-clock reading `wallNow`.
    double reading(double wallNow) const { return paused ? heldReading : wallNow + offset; }
    // Seconds into the flight; 0 before it began.
    double seconds(double wallNow) const {
        return startReading < 0.0 ? 0.0 : reading(wallNow) - startReading;
    }
    // Begins the flight at `wallNow` unless it has begun.
    void begin(double wallNow);
    // Holds the reading from `wallNow` on, or lets it run on from where it was held.
    void setPaused(bool pause, double wallNow);
    // Makes it `target` seconds into the flight at `wallNow`, paused or not. Forward, the reading moves on
    // and the paths follow; back, the reading stays and the flight begins anew earlier, so the paths
    // restart there.
    FlightJump seek(double target, double wallNow);
};

// Where a seek by `delta` seconds from `current` lands: never before 0, and never past `end` unless the
// flight is already there, so that seeking on at the end goes nowhere.
double seekTarget(double current, double delta, double end);
