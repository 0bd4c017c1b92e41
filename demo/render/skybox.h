// The sky: a fixed box of six textured quads around the world origin, behind everything the scene pass
// draws.
#pragma once

#include "render/gl_objects.h"
#include "scene/texture_loader.h"

// The box's vertex array and its two buffers; the face textures belong to the texture cache.
struct Skybox {
    VertexArray skyVao;
    Buffer skyPositions;
    Buffer skyTexCoords;
    GLuint skyTextures[6] = {0, 0, 0, 0, 0, 0};
};

// The images of the six faces (top, bottom, right, left, front, back), each loaded as a colour map.
extern const char* const SKY_IMAGES[6];
constexpr ColorSpace SKY_IMAGE_COLORS = SRGB_ALPHA;

// Builds `skyVao` and loads the six sky images into `skyTextures` (top, bottom, right, left, front, back).
void initSkybox();

// Draws the six faces unlit with the scene program (current) at projection x view; leaves culling on and
// texture unit 0 active with no 2D texture bound.
void drawSky();
