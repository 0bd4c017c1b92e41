// Start-up, one frame, and shutdown of the demo; `main` runs them, and the tools drive the same steps.
#pragma once

#include <GL/glew.h>

// The six GLSL programs; made current by the frame loop before each pass.
struct ShaderPrograms {
    GLuint sceneProgram = 0;
    GLuint shadowProgram = 0;
    GLuint dofDepthProgram = 0;
    GLuint dofProgram = 0;
    GLuint quadProgram = 0;
    GLuint bloomProgram = 0;
};

// Compiles the six programs, in the order the console shows them.
ShaderPrograms buildPrograms();

// Every pass's targets, vertex arrays and uniform locations, in the order the passes depend on.
void initPasses(const ShaderPrograms& programs);

// The render passes of one frame as the effect flags select them, each with its program made current.
void drawPasses(const ShaderPrograms& programs);

// Builds the application, opens the window and prepares every pass; false when no usable window came up.
bool startDemo(ShaderPrograms& programs);

// One camera step at clock reading `now`: along the flight in demo mode, by the walk input in walk mode.
void moveCamera(double now);

// One iteration of the frame loop up to, not including, the presentation; `now` is the clock reading.
void renderFrame(const ShaderPrograms& programs, double now);

// The post-process the flags select: bloom added onto the window, or depth of field covering it.
void postProcess(const ShaderPrograms& programs);

// Presents the frame and handles window events (the key callback runs here).
void presentFrame();

// False once Escape was pressed or the window was asked to close.
bool keepRunning();

void shutdownDemo(const ShaderPrograms& programs);
