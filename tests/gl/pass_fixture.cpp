#include "pass_fixture.h"

#include <glm/gtc/type_ptr.hpp>

void PassTest::SetUp() {
    GlTest::SetUp();
    testing::internal::CaptureStdout();
    programs = buildPrograms();
    initPasses(programs);
    testing::internal::GetCapturedStdout();
    // Sky images may be missing where the tests run; a plain sky keeps the pictures predictable.
    GLuint sky = solidTexture({150, 190, 235, 255});
    for (GLuint& face : app->skybox.skyTextures)
        face = sky;
    app->scenes.emplace_back();
    app->light->position = glm::vec3(0.0f, 1.0f, 0.0f);
    lookAt(glm::vec3(0.0f, 1.0f, 3.0f), glm::vec3(0.0f));
}

void PassTest::TearDown() {
    // While the context is still there.
    programs = ShaderPrograms();
    GlTest::TearDown();
}

void PassTest::drawFrame() {
    drawPasses(programs);
    glFinish();
}

unsigned PassTest::addMaterial(const Material& material) {
    scene().materials.push_back(material);
    return static_cast<unsigned>(scene().materials.size() - 1);
}

namespace {

// One attribute of every vertex in its own buffer at `location` of the bound vertex array.
template <typename T>
Buffer uploadField(GLuint location, const std::vector<TestVertex>& vertices, T TestVertex::*member) {
    std::vector<T> values;
    for (const TestVertex& vertex : vertices)
        values.push_back(vertex.*member);
    return uploadAttribute(location, T::length(), values.empty() ? nullptr : &values[0][0], values.size());
}

} // namespace

void PassTest::addMesh(const std::vector<TestVertex>& vertices, unsigned material, int attributes,
                       unsigned primitiveTypes) {
    Mesh mesh;
    mesh.materialIndex = material;
    mesh.primitiveTypes = primitiveTypes;
    mesh.vertexCount = static_cast<unsigned>(vertices.size());
    mesh.vao = VertexArray::generate();
    glBindVertexArray(mesh.vao);
    mesh.buffers.push_back(uploadField(ATTRIB_POSITION, vertices, &TestVertex::position));
    if (attributes & WITH_NORMALS)
        mesh.buffers.push_back(uploadField(ATTRIB_NORMAL, vertices, &TestVertex::normal));
    if (attributes & WITH_UVS) {
        mesh.buffers.push_back(uploadField(ATTRIB_TEXCOORD, vertices, &TestVertex::uv));
        mesh.buffers.push_back(uploadField(ATTRIB_TANGENT, vertices, &TestVertex::tangent));
        mesh.buffers.push_back(uploadField(ATTRIB_BITANGENT, vertices, &TestVertex::bitangent));
    }
    glBindVertexArray(0);
    if (scene().materials[material].opacity < 1.0f)
        scene().transparentMeshes.push_back(std::move(mesh));
    else
        scene().opaqueMeshes.push_back(std::move(mesh));
}

void PassTest::lookAt(glm::vec3 eye, glm::vec3 target) {
    app->camera->position = eye;
    app->camera->viewMatrix = glm::lookAt(eye, target, glm::vec3(0.0f, 1.0f, 0.0f));
    app->camera->projectionMatrix =
        glm::perspective(glm::radians(45.0f), 4.0f / 3.0f, app->camera->nearPlane, app->camera->farPlane);
}

glm::ivec2 PassTest::pixelOf(glm::vec3 world) const {
    glm::vec4 clip = app->camera->projectionMatrix * app->camera->viewMatrix * glm::vec4(world, 1.0f);
    glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return glm::ivec2((ndc * 0.5f + 0.5f) * glm::vec2(app->settings->width, app->settings->height));
}

double PassTest::brightnessAt(glm::vec3 world) {
    glm::ivec2 pixel = pixelOf(world);
    auto rgba = readPixel(pixel.x, pixel.y);
    return (rgba[0] + rgba[1] + rgba[2]) / 3.0;
}

GLuint PassTest::solidTexture(glm::u8vec4 colour, bool srgb) {
    std::vector<glm::u8vec4> texels(16, colour);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, srgb ? GL_SRGB8_ALPHA8 : GL_RGBA8, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels.data());
    glGenerateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

std::vector<TestVertex> quad(glm::vec3 corner, glm::vec3 u, glm::vec3 v) {
    glm::vec3 normal = glm::normalize(glm::cross(u, v));
    std::vector<TestVertex> vertices;
    const glm::vec2 uvs[6] = {{0, 0}, {1, 0}, {1, 1}, {0, 0}, {1, 1}, {0, 1}};
    for (glm::vec2 uv : uvs)
        vertices.push_back({corner + uv.x * u + uv.y * v, normal, uv, u, v});
    return vertices;
}

std::vector<TestVertex> box(glm::vec3 low, glm::vec3 high) {
    glm::vec3 size = high - low;
    glm::vec3 x(size.x, 0, 0), y(0, size.y, 0), z(0, 0, size.z);
    std::vector<TestVertex> vertices;
    for (const auto& face : {quad(low, y, x), quad(low + z, x, y), quad(low, z, y), quad(low + x, y, z),
                             quad(low, x, z), quad(low + y, z, x)})
        vertices.insert(vertices.end(), face.begin(), face.end());
    return vertices;
}
