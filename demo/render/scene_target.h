// The off-screen copy of the scene image that the post-processes read.
#pragma once

#include "render/gl_objects.h"

struct SceneTarget {
    Texture sceneColorTexture;
    Renderbuffer sceneDepthBuffer;
    Framebuffer sceneFramebuffer;
};

// Creates the scene target at `width` x `height`, or re-creates it there: `sceneColorTexture` as colour
// attachment 0 of `sceneFramebuffer`, with a depth renderbuffer. Ends with framebuffer 0 bound.
void sizeSceneTarget(int width, int height);
