// Upscale: when the scene is drawn at a share of the window's size, the passes finish the frame in a target
// of that size, and this pass stretches it over the window with a bicubic filter. At the full size none of
// it exists: the passes draw straight onto the window.
#pragma once

#include "render/gl_objects.h"

// The texture unit the frame is read from.
constexpr GLint UPSCALE_FRAME_UNIT = 0;

// Uniform locations of the upscale program.
struct UpscaleUniforms {
    int frameTexture = -1;
};

// The frame at the scene's size; no objects while the scene fills the window.
struct Upscale {
    Texture frameTexture;
    Framebuffer frameFramebuffer;
    UpscaleUniforms uniforms;
};

// Creates the frame target for the scene's size, if it is smaller than the window, and looks up the upscale
// program's uniforms.
void initUpscale(GLuint program);

// Creates the frame target for a scene of `sceneWidth` x `sceneHeight` in a window of `windowWidth` x
// `windowHeight`, or releases it when the two sizes are the same. Ends with the window's framebuffer bound.
void sizeUpscale(int sceneWidth, int sceneHeight, int windowWidth, int windowHeight);

// True while the scene is drawn smaller than the window.
bool upscaling();

// Where the passes put the finished frame: the frame target while upscaling, the window otherwise.
GLuint frameFramebuffer();

// Stretches the frame over the whole window, with the upscale program current.
void drawUpscale(int windowWidth, int windowHeight);
