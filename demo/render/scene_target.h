// The off-screen copy of the scene image that the post-processes read.
#pragma once

// Creates `sceneColorTexture`, window-sized.
void createSceneColorTexture();

// Creates `sceneFramebuffer` with a depth renderbuffer and `sceneColorTexture` as colour attachment 0,
// leaving it bound.
void createSceneFramebuffer();
