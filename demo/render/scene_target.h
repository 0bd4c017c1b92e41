// The off-screen scene images: the single-sample one that the post-processes read, and its 4-sample twin,
// which the frames without depth of field shade into and resolve from.
#pragma once

#include "render/gl_objects.h"

constexpr int SCENE_SAMPLES = 4;

struct SceneTarget {
    Texture sceneColorTexture;
    Renderbuffer sceneDepthBuffer;
    Framebuffer sceneFramebuffer;
    Renderbuffer multisampleColorBuffer;
    Renderbuffer multisampleDepthBuffer;
    Framebuffer multisampleFramebuffer;
};

// A scene target of `width` x `height` whose colour images have `colorFormat`: `sceneColorTexture` as
// colour attachment 0 of `sceneFramebuffer`, with a depth renderbuffer, and the 4-sample framebuffer of the
// same formats. Ends with the window's framebuffer bound.
SceneTarget createSceneTarget(int width, int height, GLenum colorFormat);

// Creates the demo's scene target (sRGB colour) at `width` x `height`, or re-creates it there.
void sizeSceneTarget(int width, int height);

// Copies the scene-sized colour image of framebuffer `from` into framebuffer `to`, resolving the samples
// when `from` has several. Ends with the window's framebuffer bound (0 for a GLFW window).
void copyPicture(GLuint from, GLuint to);
