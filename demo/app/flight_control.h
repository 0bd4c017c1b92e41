// The viewer's hold on the flight: pause, seeks and restart, with the camera's path, the light and the music
// kept together on the flight's clock (flight_clock.h). `now` is always the wall clock's reading.
#pragma once

// The flight clock's reading, which the paths follow; the flight begins at the first reading asked for.
double flightReading(double now);

// Seconds into the flight.
double flightSeconds(double now);

bool flightPaused();

// Steps both paths between two flight readings as the frames in between would have (motion/flight.h),
// the camera's path without moving the camera.
void followPaths(double from, double to, double step);

// Holds or releases the camera's flight, the light, the depth of field's switching and the music.
void toggleFlightPause(double now);

// Goes to `seconds` into the flight, paused or not; the music goes to the same place in its loop.
void seekFlight(double seconds, double now);

// Seeks `delta` seconds on (or back), within the flight.
void seekFlightBy(double delta, double now);
