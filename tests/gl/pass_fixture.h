// A DemoApp with the render passes set up and a scene built in the test: meshes, materials and
// textures made directly, the camera and the light placed by hand.
#pragma once

#include "app/demo_loop.h"
#include "gl_fixture.h"
#include "scene/scene_model.h"

#include <glm/gtc/matrix_transform.hpp>

#include <vector>

struct TestVertex {
    glm::vec3 position;
    glm::vec3 normal = glm::vec3(0.0f);
    glm::vec2 uv = glm::vec2(0.0f);
    glm::vec3 tangent = glm::vec3(0.0f);
    glm::vec3 bitangent = glm::vec3(0.0f);
};

// Which attribute buffers a test mesh gets besides positions.
enum TestAttributes { WITH_NORMALS = 1, WITH_UVS = 2, ALL_ATTRIBUTES = 3 };

class PassTest : public GlTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the passes of one frame as the loop does, then waits for them.
    void drawFrame();

    // Appends a material to the test scene; returns its index.
    unsigned addMaterial(const Material& material);
    // Appends a mesh drawn with `primitiveTypes`, sorted by its material's opacity as the import does.
    void addMesh(const std::vector<TestVertex>& vertices, unsigned material, int attributes = ALL_ATTRIBUTES,
                 unsigned primitiveTypes = 4);

    // Points the camera from `eye` at `target` (45 degrees, 4:3, the camera's depth range).
    void lookAt(glm::vec3 eye, glm::vec3 target);
    // Window pixel of a world point under the current camera.
    glm::ivec2 pixelOf(glm::vec3 world) const;
    // Mean of R, G and B at a window pixel of the last frame.
    double brightnessAt(glm::vec3 world);

    // An RGBA texture filled with one colour (sRGB bytes when `srgb`, else linear data).
    static GLuint solidTexture(glm::u8vec4 colour, bool srgb = true);

    Scene& scene() { return app->scenes.front(); }

    ShaderPrograms programs;
};

// Two triangles spanning the quad from `corner` along `u` and `v`, facing along u x v; texture
// coordinates run 0..1 along u and v, and the tangent frame follows them.
std::vector<TestVertex> quad(glm::vec3 corner, glm::vec3 u, glm::vec3 v);

// An axis-aligned closed box with outward faces.
std::vector<TestVertex> box(glm::vec3 low, glm::vec3 high);
