// The house model imported the way the demo imports it: Assimp with the demo's flags, file and
// texture paths taken from the working directory demo/, as the tests run there.
#pragma once

#include "scene/scene_import.h"

#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <string>

inline const aiScene* importHouse(Assimp::Importer& importer) {
    return importer.ReadFile(SCENE_FILE, aiProcess_PreTransformVertices | aiProcess_OptimizeMeshes);
}

inline float materialOpacity(const aiMaterial* material) {
    ai_real opacity = 1;
    aiGetMaterialFloatArray(material, "$mat.opacity", 0, 0, &opacity, nullptr);
    return static_cast<float>(opacity);
}

inline bool materialTwoSided(const aiMaterial* material) {
    int twoSided = 0;
    aiGetMaterialIntegerArray(material, "$mat.twosided", 0, 0, &twoSided, nullptr);
    return twoSided != 0;
}

inline std::string materialName(const aiMaterial* material) {
    aiString name;
    material->Get(AI_MATKEY_NAME, name);
    return name.C_Str();
}

// The diffuse texture path as the file gives it, or "" without one.
inline std::string diffusePath(const aiMaterial* material) {
    aiString path;
    if (aiGetMaterialTexture(material, aiTextureType_DIFFUSE, 0, &path) != AI_SUCCESS)
        return "";
    return path.C_Str();
}
