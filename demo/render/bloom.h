// Bloom: the scene image reduced to a quarter of the window in each direction, its bright parts filtered
// into a soft glow that the frame loop adds onto the window.
#pragma once

#include "render/gl_objects.h"
#include "render/shader_constants.h"

#include <glm/glm.hpp>

// Window sides over the bloom images' sides.
constexpr int BLOOM_DIVISOR = 4;

// Values of the bloom program's "state": the passes of the filter.
enum BloomStage { BLOOM_BRIGHT_HORIZONTAL = 0, BLOOM_VERTICAL = 1, BLOOM_GLOW = 2 };

// Uniform locations of the bloom program.
struct BloomUniforms {
    int state = -1, baseTexture = -1, sceneTexture = -1, coefs = -1, offset = -1;
};

// The four bloom images, all `bloomWidth` x `bloomHeight`, and the two framebuffers that write them.
struct BloomTargets {
    Texture bloomInputTexture, bloomBlurTexture1, bloomBlurTexture2, bloomResultTexture;
    Framebuffer bloomInputFramebuffer, bloomFramebuffer;
};

struct Bloom {
    float bloomWidth = 256.0f;
    float bloomHeight = 192.0f;
    BloomTargets targets;
    float bloomCoefs[BLOOM_TAP_COUNT] = {};
    // One bloom pixel in texture coordinates.
    glm::vec2 bloomTexelOffset = glm::vec2(0.0f);
    BloomUniforms uniforms;
};

// Creates the bloom targets for the scene's size, sets the filter constants and looks up the bloom
// program's uniforms.
void initBloom(GLuint program);

// Creates the bloom targets for a window of `width` x `height`, or re-creates them for it, with the pixel
// step to match. Ends with the window's framebuffer bound.
void sizeBloom(int width, int height);

// Reduces the scene image into `bloomInputTexture`, with the depth-of-field program current; leaves the
// bloom input framebuffer bound.
void reduceForBloom();

// Runs the three filter passes into `bloomResultTexture`, with the bloom program current.
void drawBloom();
