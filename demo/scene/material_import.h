// One imported material to a `Material`: its textures, colours, flags and the diffuse map's wrap modes.
#pragma once

#include "scene/scene_model.h"
#include "scene/texture_loader.h"

#include <assimp/material.h>

#include <optional>
#include <string>

// How the material's maps are loaded: the diffuse map as sRGB colour, its normal map as linear data.
constexpr ColorSpace DIFFUSE_MAP_COLORS = SRGB_ALPHA;
constexpr ColorSpace NORMAL_MAP_COLORS = LINEAR_RGB;

// The file of the material's diffuse map, where it names one.
std::optional<std::string> diffuseMapPath(const aiMaterial& material);

// GL wrap mode for an aiTextureMapMode value; unknown values wrap.
GLenum wrapModeFor(int mapMode);

// Keys the material lacks take their defaults; the diffuse map and its normal map go through loadTexture.
Material importMaterial(const aiMaterial& material);
