// Image files to mipmapped GL 2D textures, each path decoded and uploaded once per run.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <string>
#include <vector>

// Put in front of a diffuse map's file name to name its normal map.
constexpr const char* NORMAL_MAP_PREFIX = "normal_";

// The normal-map path of a diffuse map: the prefix goes right after the last "/" (the backslash does not
// separate), or at the start when there is none.
std::string normalMapPath(const std::string& diffusePath);

// How an image's values are stored; the numbers are the channels kept.
enum ColorSpace {
    LINEAR_RGB = 3, // data such as normal maps, read back as stored
    SRGB_ALPHA = 4, // colour maps, decoded to linear light when sampled
};

// Maps larger than this start with their levels from this size down; their top level follows once frames
// are shown, so that its upload does not hold up the first one.
constexpr uint32_t FIRST_FRAME_MAP_SIZE = 512;

// A texture's top mipmap level, held back until after the first frame.
struct HeldTopLevel {
    GLuint texture;
    GLint internalFormat;
    GLenum format;
    GLsizei width, height;
    std::vector<unsigned char> texels;
};

class DemoApp;

// Ends the application's start-up image decoding (`imagePrefetch`), with the textures made from it ahead
// of a request that never came.
void finishImagePrefetch(DemoApp& app);

// Uploads the oldest held top level and lets its texture sample it; false when none is held.
bool uploadNextTopLevel(DemoApp& app);

// Every held top level uploaded: for frames that must not depend on how many came before them.
void uploadHeldTopLevels(DemoApp& app);

// The texture of the image at `path`, owned by the texture cache. NO_TEXTURE when the file cannot be
// decoded; a failed path is tried again on the next request.
GLuint loadTexture(ColorSpace colorSpace, std::string path);
