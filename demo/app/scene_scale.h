// The scene drawn at a share of the window's width and height: set from the command line, by the viewer
// (keys - and =, the overlay) or by the controller that holds a frame rate (scale_control.h).
#pragma once

// Draws the scene at `scale`, kept within 0.25 and 1, of the window's width and height from the next frame
// on, re-creating the scene-sized targets.
void setSceneScale(float scale);

// The viewer's own choice of share: the controller, if on, stops.
void chooseSceneScale(float scale);

// Keys - and =: the next share of the ladder below (`direction` < 0) or above the current one.
void stepSceneScale(int direction);

// Holds `targetFps` frames a second from now on by changing the share (0: the share stays as it is).
void holdSceneFrameRate(int targetFps);

// Counts the frame of clock reading `now` for the controller, and takes the share it picks. Each change
// goes to standard error with the flight's moment and the measured rate.
void followFrameRate(double now);
