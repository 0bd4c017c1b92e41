// Helpers shared by the passes that render into textures of their own.
#pragma once

#include "render/gl_objects.h"

#include <initializer_list>

// A one-level 2D texture with no data, the same filter for minification and magnification, and
// GL_TEXTURE_2D left unbound.
Texture createTargetTexture(int width, int height, GLint internalFormat, GLenum format, GLenum type,
                            GLint filter);

// A colour target: GL_SRGB8_ALPHA8, so writes are encoded and reads decoded while GL_FRAMEBUFFER_SRGB is on.
Texture createColorTarget(int width, int height, GLint filter);

// Attaches `textures` to the bound framebuffer's colour attachments 0, 1, ... in order.
void attachColorTargets(std::initializer_list<GLuint> textures);

// Prints `message` when the bound framebuffer is not complete; start-up goes on regardless.
void reportIncompleteFramebuffer(const char* message);

// A new framebuffer, left bound to GL_FRAMEBUFFER.
Framebuffer bindNewFramebuffer();

// A new framebuffer with `textures` as colour attachments 0, 1, ... in order, left bound; prints
// `incompleteMessage` when it is not complete.
Framebuffer createColorFramebuffer(std::initializer_list<GLuint> textures, const char* incompleteMessage);

// A renderbuffer of `samples` samples (0: a plain one), attached to the bound framebuffer.
Renderbuffer attachRenderbuffer(GLenum attachment, GLenum format, int samples, int width, int height);

// A target's side for a window side of `size`: `size` / `divisor`, rounded down, but at least one pixel, so
// that a tiny window still gives targets to render into.
int targetSide(int size, int divisor);
