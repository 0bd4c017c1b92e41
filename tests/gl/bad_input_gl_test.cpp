// Input the passes must survive: broken geometry, missing attributes and textures, an empty scene,
// missing sky images. Colours are read from a float target, where a NaN would stay visible.
#include "pass_fixture.h"

#include "render/scene_pass.h"
#include "render/scene_target.h"
#include "render/skybox.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Swaps a 32-bit float scene target in for the demo's, so the scene pass renders into it and the frames
// that resolve their samples into the scene image resolve them there.
class FloatTarget {
  public:
    explicit FloatTarget(DemoApp& app) : app(app), target(createSceneTarget(1024, 768, GL_RGBA32F)) {
        std::swap(target, app.sceneTarget);
    }
    ~FloatTarget() { std::swap(target, app.sceneTarget); }

    // Pixels of the last frame whose colour is not finite.
    int nonFinitePixels() const {
        std::vector<float> pixels(1024 * 768 * 4);
        glBindTexture(GL_TEXTURE_2D, app.sceneTarget.sceneColorTexture);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, pixels.data());
        int count = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
            count +=
                !(std::isfinite(pixels[i]) && std::isfinite(pixels[i + 1]) && std::isfinite(pixels[i + 2]));
        return count;
    }

  private:
    DemoApp& app;
    SceneTarget target;
};

} // namespace

TEST_F(PassTest, BrokenGeometryAndMissingTexturesGiveFiniteColours) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    Material mapped;
    mapped.diffuseTexture = solidTexture({180, 160, 140, 255});
    mapped.normalTexture = solidTexture({180, 128, 200, 255}, false);
    mapped.specular = glm::vec4(1.0f);
    Material shiny; // no textures, shininess 0
    shiny.diffuse = glm::vec4(0.5f, 0.5f, 0.5f, 1.0f);
    shiny.specular = glm::vec4(1.0f);
    Material glass = mapped;
    glass.opacity = 0.5f;
    unsigned mappedMaterial = addMaterial(mapped), shinyMaterial = addMaterial(shiny);
    unsigned glassMaterial = addMaterial(glass);

    auto wall = [](float x) {
        return quad(glm::vec3(x, -0.5f, 0), glm::vec3(0.4f, 0, 0), glm::vec3(0, 1, 0));
    };
    std::vector<TestVertex> nanTangents = wall(-1.0f), infTangents = wall(-0.5f), zeroFrame = wall(0.0f);
    for (TestVertex& v : nanTangents)
        v.tangent = v.bitangent = glm::vec3(nan);
    for (TestVertex& v : infTangents)
        v.tangent = glm::vec3(inf, 0, -inf);
    for (TestVertex& v : zeroFrame)
        v.normal = v.tangent = v.bitangent = glm::vec3(0.0f);
    std::vector<TestVertex> degenerate(3, TestVertex{glm::vec3(0.2f)});
    addMesh(nanTangents, mappedMaterial);
    addMesh(infTangents, mappedMaterial);
    addMesh(zeroFrame, mappedMaterial);
    addMesh(wall(0.5f), mappedMaterial, 0);
    addMesh(wall(1.0f), shinyMaterial, WITH_NORMALS);
    addMesh(wall(-1.5f), glassMaterial, WITH_UVS);
    addMesh(degenerate, shinyMaterial);
    for (GLuint& face : app->skybox.skyTextures)
        face = NO_TEXTURE;
    // The light sits on a surface: zero light vector, zero distance.
    app->light->position = glm::vec3(1.0f, -0.5f, 0.0f);
    app->normalMappingOn = 1;
    lookAt(glm::vec3(0, 0, 2), glm::vec3(0));
    FloatTarget target(*app);
    // With the bloom on the 4-sample picture is resolved into the scene image; the depth of field reads
    // the single-sample one.
    app->bloomOn = 1;
    for (int frame = 0; frame < 4; ++frame) {
        app->shadowMappingOn = frame & 1;
        app->dofOn = frame >> 1;
        drawFrame();
        EXPECT_EQ(target.nonFinitePixels(), 0)
            << "shadows " << (frame & 1) << ", depth of field " << (frame >> 1);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// No sky images and no scene at all: the frame shows the clear colour.
TEST_F(PassTest, EmptySceneWithoutSkyImagesShowsTheClearColour) {
    char folder[] = "/tmp/no-sky-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::string workdir = std::string(folder) + "/demo";
    mkdir(workdir.c_str(), 0755);
    char* previous = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(workdir.c_str()), 0);
    app->textureCache.clear();
    initSkybox();
    ASSERT_EQ(chdir(previous), 0);
    free(previous);
    app->scenes.clear();
    for (GLuint face : app->skybox.skyTextures)
        EXPECT_EQ(face, NO_TEXTURE);

    app->shadowMappingOn = 1;
    drawFrame();
    auto pixel = readPixel(512, 384);
    EXPECT_NEAR(pixel[0], 89, 2);  // 0.1 linear, sRGB-encoded
    EXPECT_NEAR(pixel[2], 218, 2); // 0.7
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    rmdir(workdir.c_str());
    rmdir(folder);
}
