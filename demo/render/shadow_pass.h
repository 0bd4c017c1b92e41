// The moving light's omnidirectional shadow: a depth cube map rendered in one pass over the geometry.
#pragma once

#include "render/gl_objects.h"

// Uniform locations of the shadow program.
struct ShadowUniforms {
    int modelMatrix = -1, pvMatrix = -1, lightPos = -1, nearFar = -1;
};

// The light's depth cube map, sized by the light rather than the window.
struct ShadowPass {
    Texture shadowCubeMap;
    Framebuffer shadowFramebuffer;
    ShadowUniforms uniforms;
};

// Creates `shadowCubeMap` and its layered `shadowFramebuffer` and looks up the uniforms of `program`.
// Leaves the cube map bound on the active texture unit and the window's framebuffer bound.
void initShadowMapping(GLuint program);

// Renders the depth of every solid mesh into all six faces; the caller has made the shadow program
// current. Ends with the window's framebuffer bound and the viewport at the shadow-map size.
void drawShadowMap();
