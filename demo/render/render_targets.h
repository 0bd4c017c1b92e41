// Helpers shared by the passes that render into textures of their own.
#pragma once

#include <GL/glew.h>

#include <initializer_list>

// A one-level 2D texture with no data, the same filter for minification and magnification, and
// GL_TEXTURE_2D left unbound.
GLuint createTargetTexture(int width, int height, GLint internalFormat, GLenum format, GLenum type,
                           GLint filter);

// A colour target: GL_SRGB8_ALPHA8, so writes are encoded and reads decoded while GL_FRAMEBUFFER_SRGB is on.
GLuint createColorTarget(int width, int height, GLint filter);

// Attaches `textures` to the bound framebuffer's colour attachments 0, 1, ... in order.
void attachColorTargets(std::initializer_list<GLuint> textures);

// Prints `message` when the bound framebuffer is not complete; start-up goes on regardless.
void reportIncompleteFramebuffer(const char* message);
