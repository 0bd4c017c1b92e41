// Start-up, one frame, and shutdown of the demo; `main` runs them, and the tools drive the same steps.
#pragma once

#include "motion/camera.h"
#include "render/gl_objects.h"

#include <filesystem>

// The GLSL programs; made current by the frame loop before each pass.
struct ShaderPrograms {
    Program sceneProgram;
    Program shadowProgram;
    Program dofDepthProgram;
    Program dofProgram;
    Program quadProgram;
    Program bloomProgram;
    Program upscaleProgram;
};

// Compiles the programs: the six the console shows, in its order, then the upscale's, which it does not
// show.
ShaderPrograms buildPrograms();

// Every pass's targets, vertex arrays and uniform locations, in the order the passes depend on.
void initPasses(const ShaderPrograms& programs);

// Makes `width` x `height` the window's size (useWindowSize), then re-creates the window's stand-in at that
// size and every target that follows the scene at the scene's share of it. A size of 0 (a minimised window)
// changes nothing; false then.
bool resizePasses(int width, int height);

// Makes `width` x `height` (both above 0) the window's size, its share at the scene's scale the size the
// scene passes draw at, and its aspect the projection's; the targets stay as they are.
void useWindowSize(int width, int height);

// The render passes of one frame as the effect flags select them, each with its program made current.
void drawPasses(const ShaderPrograms& programs);

// What a start-up may choose beyond the demo's fixed behaviour; the defaults are the demo's own.
struct StartOptions {
    int width = 1024, height = 768; // the window's size in pixels
    bool fullscreen = false;        // on the primary monitor, in its current mode
    double startSeconds = 0.0;      // the moment of the flight to begin at
    bool mute = false;              // no soundtrack, no audio device
    bool vsync = false;             // a swap interval of 1; otherwise none is set
    bool resizable = false;         // the window's frame can resize it
    // Where F9 saves; the data folder when empty.
    std::filesystem::path screenshotFolder;
    bool headless = false; // an EGL context and a window stand-in; no GLFW, no input
    double scale = 1.0;    // the scene's share of the window's width and height, 0.25 to 1
    int targetFps = 0;     // frames a second the share is chosen to hold; 0: the share stays
};

// Builds the application, opens the window and prepares every pass; false when no usable window came up.
bool startDemo(ShaderPrograms& programs, const StartOptions& options = {});

// One camera step at clock reading `now`: along the flight (on the flight's clock) in demo mode, by the
// walk input in walk mode.
void moveCamera(double now);

// Walk mode's input from the window: its pointer, keys and wheel.
WalkInput readWalkInput(double now);

// Walk mode's input with nothing touched: the pointer where the camera last saw it, no key, no wheel. The
// walk input of a headless run.
WalkInput stillWalkInput(double now);

// One iteration of the frame loop up to, not including, the presentation; `now` is the clock reading. The
// camera's flight and the light follow the flight's clock (flight_control.h), which is `now` unless the
// viewer paused or moved the flight.
void renderFrame(const ShaderPrograms& programs, double now);

// The post-process the flags select: bloom added onto the window, or depth of field covering it.
void postProcess(const ShaderPrograms& programs);

// Presents the frame and handles window events (the key callback runs here); headless, hands the frame to
// the GPU.
void presentFrame();

// False once Escape was pressed or the window was asked to close.
bool keepRunning();

// Deletes the scene program, then the GL objects of the passes, the scene and the texture cache, then the
// other programs; the window and its context stay.
void releaseGlObjects(ShaderPrograms& programs);

// Releases every GL object, then closes the window.
void shutdownDemo(ShaderPrograms& programs);
