// The full-window rectangle: puts a post-process result on the window and is the geometry of every
// full-screen stage.
#pragma once

#include <GL/glew.h>

// Sources `drawQuad` can show; any other value draws nothing.
constexpr int QUAD_BLOOM = 1;
constexpr int QUAD_DOF = 2;

// Builds `quadVao` (left bound) and looks up the quad program's uniforms.
void initScreenQuad(GLuint program);

// Covers the window with the bloom or depth-of-field result, with the quad program current.
void drawQuad(int source);

// Draws `quadVao` as a triangle fan into the bound target; culling state is the caller's.
void drawQuadGeometry();
