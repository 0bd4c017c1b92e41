// GPU-resident form of an imported model: meshes split by opacity, and their materials.
#pragma once

#include "render/gl_objects.h"

#include <glm/glm.hpp>

#include <map>
#include <string>
#include <vector>

// Fixed vertex attribute locations shared by every scene shader.
constexpr GLuint ATTRIB_POSITION = 0;
constexpr GLuint ATTRIB_NORMAL = 1;
constexpr GLuint ATTRIB_TEXCOORD = 2;
constexpr GLuint ATTRIB_TANGENT = 3;
constexpr GLuint ATTRIB_BITANGENT = 4;

// Owns its vertex array and the buffers bound in it; drawn without indices.
struct Mesh {
    VertexArray vao;
    // One per attribute present, in the order they were uploaded.
    std::vector<Buffer> buffers;
    unsigned materialIndex = 0;
    unsigned primitiveTypes = 0;
    glm::mat4 modelMatrix = glm::mat4(1.0f);
    unsigned vertexCount = 0;
};

// The member defaults are the values stored for keys the imported material lacks. The textures belong to
// the texture cache.
struct Material {
    GLuint diffuseTexture = NO_TEXTURE;
    GLuint normalTexture = NO_TEXTURE;
    glm::vec4 diffuse = glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
    glm::vec4 ambient = glm::vec4(0.2f, 0.2f, 0.2f, 1.0f);
    glm::vec4 specular = glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
    float shininess = 0.0f;
    int twoSided = 0;
    float opacity = 1.0f;
};

struct Scene {
    std::vector<Mesh> opaqueMeshes;
    std::vector<Mesh> transparentMeshes;
    std::vector<Material> materials;
};

// Texture made from each successfully loaded image path, keyed by the path as given. The cache owns them:
// materials and the sky hold their names only.
using TextureCache = std::map<std::string, Texture>;
