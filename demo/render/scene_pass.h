// The main scene pass: sky, opaque meshes, then transparent meshes, lit by the moving light and shadowed
// through its cube map; drawn into the window and again into the off-screen scene target.
#pragma once

#include <GL/glew.h>

// Looks up the scene program's uniform locations.
void initSceneUniforms(GLuint program);

// Draws the whole scene with the scene program (made current by the caller) into the window's back
// buffer, or into `sceneFramebuffer` when `offscreen`. Ends with framebuffer 0 bound.
void drawScene(bool offscreen);
