#include "scene/material_import.h"

#include "scene/texture_loader.h"

namespace {

glm::vec4 colorOr(const aiMaterial& material, const char* key, const glm::vec4& absent) {
    aiColor4D color;
    if (aiGetMaterialColor(&material, key, 0, 0, &color) != aiReturn_SUCCESS)
        return absent;
    return {color.r, color.g, color.b, color.a};
}

// A property of one number, read with Assimp's array getter for its type; `absent` where it is missing.
template <typename Number, typename ArrayGetter>
Number numberOr(const aiMaterial& material, const char* key, Number absent, ArrayGetter getArray) {
    Number value = 0;
    unsigned count = 1;
    if (getArray(&material, key, 0, 0, &value, &count) != aiReturn_SUCCESS)
        return absent;
    return value;
}

void loadTextures(const aiMaterial& material, Material& result) {
    std::optional<std::string> diffusePath = diffuseMapPath(material);
    if (!diffusePath)
        return;
    result.diffuseTexture = loadTexture(DIFFUSE_MAP_COLORS, *diffusePath);
    result.normalTexture = loadTexture(NORMAL_MAP_COLORS, normalMapPath(*diffusePath));
}

// The file's ambient colour is not taken over, only its alpha.
glm::vec4 ambientOr(const aiMaterial& material, const glm::vec4& absent) {
    aiColor4D color;
    if (aiGetMaterialColor(&material, "$clr.ambient", 0, 0, &color) != aiReturn_SUCCESS)
        return absent;
    return glm::vec4(0.0f, 0.0f, 0.0f, color.a);
}

void applyWrapMode(const aiMaterial& material, const char* key, GLenum wrapAxis, GLuint texture) {
    int mapMode = 0;
    unsigned count = 1;
    if (aiGetMaterialIntegerArray(&material, key, aiTextureType_DIFFUSE, 0, &mapMode, &count) !=
            aiReturn_SUCCESS ||
        texture == NO_TEXTURE)
        return;
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, wrapAxis, wrapModeFor(mapMode));
    glBindTexture(GL_TEXTURE_2D, 0);
}

} // namespace

std::optional<std::string> diffuseMapPath(const aiMaterial& material) {
    aiString path;
    if (aiGetMaterialTexture(&material, aiTextureType_DIFFUSE, 0, &path) != aiReturn_SUCCESS)
        return std::nullopt;
    return std::string(path.C_Str());
}

GLenum wrapModeFor(int mapMode) {
    switch (mapMode) {
    case aiTextureMapMode_Clamp:
        return GL_CLAMP_TO_EDGE;
    case aiTextureMapMode_Mirror:
        return GL_MIRRORED_REPEAT;
    case aiTextureMapMode_Decal:
        return GL_CLAMP_TO_BORDER;
    default:
        return GL_REPEAT;
    }
}

Material importMaterial(const aiMaterial& material) {
    // A default-constructed Material holds the values of absent keys.
    Material result;
    loadTextures(material, result);
    result.diffuse = colorOr(material, "$clr.diffuse", result.diffuse);
    result.ambient = ambientOr(material, result.ambient);
    result.specular = colorOr(material, "$clr.specular", result.specular);
    result.shininess = numberOr(material, "$mat.shininess", result.shininess, aiGetMaterialFloatArray);
    result.twoSided = numberOr(material, "$mat.twosided", result.twoSided, aiGetMaterialIntegerArray);
    result.opacity = numberOr(material, "$mat.opacity", result.opacity, aiGetMaterialFloatArray);
    applyWrapMode(material, "$tex.mapmodeu", GL_TEXTURE_WRAP_S, result.diffuseTexture);
    applyWrapMode(material, "$tex.mapmodev", GL_TEXTURE_WRAP_T, result.diffuseTexture);
    return result;
}
