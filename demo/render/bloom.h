// Bloom: the scene image reduced to 256 x 192, its bright parts filtered into a soft glow that the
// frame loop adds onto the window.
#pragma once

#include <GL/glew.h>

// Creates the bloom targets, sets the filter constants and looks up the bloom program's uniforms.
void initBloom(GLuint program);

// Reduces the scene image into `bloomInputTexture`, with the depth-of-field program current; leaves the
// bloom input framebuffer bound.
void reduceForBloom();

// Runs the three filter passes into `bloomResultTexture`, with the bloom program current.
void drawBloom();
