// Image files to mipmapped GL 2D textures, each path decoded and uploaded once per run.
#pragma once

#include <epoxy/gl.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Put in front of a diffuse map's file name to name its normal map.
constexpr const char* NORMAL_MAP_PREFIX = "normal_";

// The normal-map path of a diffuse map: the prefix goes right after the last "/" (the backslash does not
// separate), or at the start when there is none.
std::string normalMapPath(const std::string& diffusePath);

// The folder, beside a map, that holds its half-size form (its mipmap level 1) where it has one.
constexpr const char* HALF_MAP_FOLDER = "half/";

// The half-size form of the map at `path` (in HALF_MAP_FOLDER after the last "/"), where that file exists.
std::optional<std::string> halfMapFile(const std::string& path);

// How an image's values are stored; the numbers are the channels kept.
enum ColorSpace {
    LINEAR_RGB = 3, // data such as normal maps, read back as stored
    SRGB_ALPHA = 4, // colour maps, decoded to linear light when sampled
};

// Maps larger than this start with their levels from this size down; their top level follows once frames
// are shown, so that its upload does not hold up the first one.
constexpr uint32_t FIRST_FRAME_MAP_SIZE = 512;

// A texture's top mipmap level, held back until after the first frame: its texels, or, for a map whose
// levels below came from its half-size form, the start-up's request that decodes it.
struct HeldTopLevel {
    GLuint texture;
    GLint internalFormat;
    GLenum format;
    GLsizei width, height;
    std::vector<unsigned char> texels;
    int request = -1;
};

class DemoApp;

// Ends the start-up's use of its image decoding (`imagePrefetch`): the textures made from it ahead of a
// request that never came go. The decoding itself ends once no held top level waits for it.
void finishImagePrefetch(DemoApp& app);

// Called after each shown frame: lets the decoders take the top levels, which wait for the first frame,
// then uploads the oldest held top level, once decoded, and lets its texture sample it; one that cannot be
// had is dropped, its texture keeping the levels below. False when none is held or it is being decoded.
bool uploadNextTopLevel(DemoApp& app);

// Every held top level uploaded, waiting for their decoding: for frames that must not depend on how many
// came before them.
void uploadHeldTopLevels(DemoApp& app);

// The texture of the image at `path`, owned by the texture cache. NO_TEXTURE when the file cannot be
// decoded; a failed path is tried again on the next request.
GLuint loadTexture(ColorSpace colorSpace, std::string path);
