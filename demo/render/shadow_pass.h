// The moving light's omnidirectional shadow: a depth cube map rendered in one pass over the geometry.
#pragma once

#include <GL/glew.h>

// Creates `shadowCubeMap` and its layered `shadowFramebuffer` and looks up the uniforms of `program`.
// Leaves the cube map bound on the active texture unit and framebuffer 0 bound.
void initShadowMapping(GLuint program);

// Renders the depth of every solid mesh into all six faces; the caller has made the shadow program
// current. Ends with framebuffer 0 bound and the viewport at the shadow-map size.
void drawShadowMap();
