// The full-window rectangle: puts a post-process result on the window and is the geometry of every
// full-screen stage.
#pragma once

#include "render/gl_objects.h"

// Sources `drawQuad` can show; any other value draws nothing.
constexpr int QUAD_BLOOM = 1;
constexpr int QUAD_DOF = 2;

// Uniform locations of the screen-quad program.
struct QuadUniforms {
    int baseTexture = -1, cubeTexture = -1, texType = -1;
};

// The rectangle's vertex array with its two buffers, and the quad program's uniforms.
struct ScreenQuad {
    VertexArray quadVao;
    Buffer quadPositions;
    Buffer quadTexCoords;
    QuadUniforms uniforms;
};

// Builds `quadVao` (left bound) and looks up the quad program's uniforms.
void initScreenQuad(GLuint program);

// Covers the frame (upscale.h) with the bloom or depth-of-field result, with the quad program current.
void drawQuad(int source);

// Draws `quadVao` as a triangle fan into the bound target; culling state is the caller's.
void drawQuadGeometry();
