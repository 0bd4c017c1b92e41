// One imported material to a `Material`: its textures, colours, flags and the diffuse map's wrap modes.
#pragma once

#include "scene/scene_model.h"

#include <assimp/material.h>

// GL wrap mode for an aiTextureMapMode value; unknown values wrap.
GLenum wrapModeFor(int mapMode);

// Keys the material lacks take their defaults; the diffuse map and its normal map go through loadTexture.
Material importMaterial(const aiMaterial& material);
