// Image files to mipmapped GL 2D textures, each path decoded and uploaded once per run.
#pragma once

#include <GL/glew.h>

#include <string>

// Put in front of a diffuse map's file name to name its normal map.
constexpr const char* NORMAL_MAP_PREFIX = "normal_";

// The normal-map path of a diffuse map: the prefix goes right after the last "/" (the backslash does not
// separate), or at the start when there is none.
std::string normalMapPath(const std::string& diffusePath);

// `channels` 4: an sRGB colour map with alpha; any other value: a linear RGB map (normal maps).
// NO_TEXTURE when the file cannot be decoded; a failed path is tried again on the next request.
GLuint loadTexture(int channels, std::string path);
