// The main scene pass: opaque meshes, sky, then transparent meshes, lit by the moving light and shadowed
// through its cube map; drawn once a frame into one of the scene target's framebuffers.
#pragma once

#include <epoxy/gl.h>
#include <glm/glm.hpp>

// Texture units of the scene program's samplers; the sky shares the diffuse one.
constexpr GLint SCENE_DIFFUSE_UNIT = 0, SCENE_SHADOW_UNIT = 1, SCENE_NORMAL_UNIT = 2;

// Uniform locations of the scene program.
struct SceneUniforms {
    int projMatrix = -1, viewMatrix = -1, mvp = -1, mvMatrix = -1, modelMatrix = -1, normMatrix = -1;
    int lightPos = -1, lightKd = -1, lightKa = -1, lightKs = -1;
    int materialKd = -1, materialKa = -1, materialKs = -1, materialA = -1, materialO = -1;
    int nearFar = -1, baseTexture = -1, shadowMap = -1, normalTexture = -1;
    int smOn = -1, isNormal = -1, isSky = -1, isTrans = -1, hasTex = -1;
};

// The scene program's uniforms; its targets are the scene target's.
struct ScenePass {
    SceneUniforms uniforms;
};

// Looks up the scene program's uniform locations.
void initSceneUniforms(GLuint program);

// Whether the scene pass finds the depth of its opaque meshes already in its target.
enum SceneDepth { SCENE_DEPTH_CLEARED, SCENE_DEPTH_LAID };

// Clears `framebuffer`, an off-screen framebuffer of the window's size, and lays down the camera depth of
// the opaque meshes with the depth-of-field depth program (made current by the caller), a little behind
// them: the scene pass then shades only the nearest surface of each pixel where early depth rejection
// works, on single-sample targets. Ends with the window's framebuffer bound.
void drawSceneDepth(GLuint framebuffer);

// Clears `framebuffer`, an off-screen framebuffer of the window's size (its colour only when
// `SCENE_DEPTH_LAID`), and draws the whole scene into it with the scene program (made current by the
// caller). Ends with the window's framebuffer bound.
void drawScene(GLuint framebuffer, SceneDepth depth = SCENE_DEPTH_CLEARED);
