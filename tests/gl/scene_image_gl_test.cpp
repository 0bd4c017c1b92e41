// Pictures of small scenes built in the test, judged by the brightness of chosen world points.
#include "pass_fixture.h"

namespace {

const glm::vec3 UP(0, 1, 0);

} // namespace

// A wall facing +z, seen from the front: lit while the light is in front of it, ambient only behind.
// Two-sided, it is lit from behind too when seen from behind.
TEST_F(PassTest, LightFallsOnTheSideOfAWallThatFacesIt) {
    Material wall;
    wall.diffuse = glm::vec4(0.8f, 0.8f, 0.8f, 1.0f);
    wall.twoSided = 1;
    addMesh(quad(glm::vec3(-1, -1, 0), glm::vec3(2, 0, 0), glm::vec3(0, 2, 0)), addMaterial(wall));
    lookAt(glm::vec3(0, 0, 2), glm::vec3(0));
    app->light->position = glm::vec3(0.3f, 0.2f, 1.0f);
    drawFrame();
    double litFront = brightnessAt(glm::vec3(0));
    app->light->position = glm::vec3(0.3f, 0.2f, -1.0f);
    drawFrame();
    double unlitFront = brightnessAt(glm::vec3(0));
    lookAt(glm::vec3(0, 0, -2), glm::vec3(0));
    drawFrame();
    double litBack = brightnessAt(glm::vec3(0));

    EXPECT_GT(litFront, unlitFront + 60);
    EXPECT_GT(unlitFront, 40) << "the ambient share keeps unlit surfaces from going black";
    EXPECT_NEAR(litBack, litFront, 3);
}

// A box standing on a floor, the light above and to its side: the floor behind the box is dark right
// up to the box's foot, the lit floor shows no self-shadowing, and switching shadows off brings the
// light back.
TEST_F(PassTest, OccluderCastsAShadowUpToItsFootThatGoesWithShadowMappingOff) {
    Material grey;
    grey.diffuse = glm::vec4(0.7f, 0.7f, 0.7f, 1.0f);
    unsigned material = addMaterial(grey);
    addMesh(quad(glm::vec3(-2, 0, 2), glm::vec3(4, 0, 0), glm::vec3(0, 0, -4)), material);
    addMesh(box(glm::vec3(-0.25f, 0, -0.25f), glm::vec3(0.25f, 0.5f, 0.25f)), material);
    app->light->position = glm::vec3(0.8f, 1.0f, 0.0f);
    lookAt(glm::vec3(-1.5f, 1.0f, 1.5f), glm::vec3(-0.3f, 0, 0));
    const glm::vec3 shadowed[] = {{-0.27f, 0, 0}, {-0.5f, 0, 0.1f}, {-0.7f, 0, -0.1f}};
    const glm::vec3 lit[] = {{0.2f, 0, 0.6f}, {-0.6f, 0, 0.8f}, {0.9f, 0, 0.4f}, {-1.0f, 0, 1.2f}};

    app->shadowMappingOn = 1;
    drawFrame();
    std::vector<double> on;
    for (glm::vec3 point : shadowed)
        on.push_back(brightnessAt(point));
    for (glm::vec3 point : lit)
        on.push_back(brightnessAt(point));
    app->shadowMappingOn = 0;
    drawFrame();
    for (size_t i = 0; i < on.size(); ++i) {
        glm::vec3 point = i < 3 ? shadowed[i] : lit[i - 3];
        double off = brightnessAt(point);
        if (i < 3)
            EXPECT_LT(on[i], off - 40) << "no shadow at " << point.x << ", " << point.z;
        else
            EXPECT_NEAR(on[i], off, 2) << "self-shadowing at " << point.x << ", " << point.z;
    }
}

// A normal map tilted toward +u brightens a wall lit from the +u side and darkens one whose u runs
// the other way; off, the map changes nothing.
TEST_F(PassTest, NormalMapTiltsTheShadingAlongTheTangentFrame) {
    Material flat;
    flat.diffuse = glm::vec4(0.6f, 0.6f, 0.6f, 1.0f);
    flat.diffuseTexture = solidTexture({200, 200, 200, 255});
    Material tilted = flat;
    // Tangent-space normal (0.6, 0, 0.8).
    tilted.normalTexture = solidTexture({204, 128, 230, 255}, false);
    unsigned flatMaterial = addMaterial(flat), tiltedMaterial = addMaterial(tilted);
    // Three panels side by side at z = 0: flat; tilted with u along +x; tilted with u along -x.
    addMesh(quad(glm::vec3(-1.5f, -0.5f, 0), glm::vec3(1, 0, 0), UP), flatMaterial);
    addMesh(quad(glm::vec3(-0.5f, -0.5f, 0), glm::vec3(1, 0, 0), UP), tiltedMaterial);
    std::vector<TestVertex> mirrored = quad(glm::vec3(1.5f, 0.5f, 0), glm::vec3(-1, 0, 0), -UP);
    addMesh(mirrored, tiltedMaterial);
    lookAt(glm::vec3(0, 0, 3), glm::vec3(0));
    app->light->position = glm::vec3(2.0f, 0.0f, 0.5f);
    const glm::vec3 centres[] = {{-1, 0, 0}, {0, 0, 0}, {1, 0, 0}};
    double off[3], on[3];
    drawFrame();
    for (int i = 0; i < 3; ++i)
        off[i] = brightnessAt(centres[i]);
    app->normalMappingOn = 1;
    drawFrame();
    for (int i = 0; i < 3; ++i)
        on[i] = brightnessAt(centres[i]);

    EXPECT_NEAR(on[0], off[0], 1) << "a material without a normal map keeps its shading";
    EXPECT_GT(on[1], off[1] + 20);
    EXPECT_LT(on[2], off[2] - 20);
}

// A red wall behind a pale glass pane: the pixel mixes both.
TEST_F(PassTest, GlassShowsWhatStandsBehindIt) {
    Material red;
    red.diffuse = glm::vec4(0.9f, 0.05f, 0.05f, 1.0f);
    Material glass;
    glass.diffuse = glm::vec4(0.6f, 0.8f, 1.0f, 1.0f);
    glass.opacity = 0.35f;
    addMesh(quad(glm::vec3(-1, -1, -0.5f), glm::vec3(2, 0, 0), UP * 2.0f), addMaterial(red));
    lookAt(glm::vec3(0, 0, 2), glm::vec3(0));
    app->light->position = glm::vec3(0, 0, 1.5f);
    drawFrame();
    glm::ivec2 centre = pixelOf(glm::vec3(0));
    auto bare = readPixel(centre.x, centre.y);
    addMesh(quad(glm::vec3(-0.5f, -0.5f, 0), glm::vec3(1, 0, 0), UP), addMaterial(glass));
    drawFrame();
    auto behindGlass = readPixel(centre.x, centre.y);

    EXPECT_GT(behindGlass[0], 120) << "the red wall shows through";
    EXPECT_LT(behindGlass[0], bare[0]);
    EXPECT_GT(behindGlass[2], bare[2] + 40) << "the glass tints it";
}

// With every face plain white, looks along the box's edges and into its corners find no pixel of the
// clear colour: neighbouring faces meet without a gap, and corners beyond the camera's far plane are
// not clipped away.
TEST_F(PassTest, SkyFacesMeetWithoutGaps) {
    GLuint white = solidTexture({255, 255, 255, 255});
    for (GLuint& face : app->skybox.skyTextures)
        face = white;
    struct View {
        glm::vec3 eye, direction;
    };
    const View views[] = {{{0.2f, -0.1f, 0.3f}, {1, 1, 1}},       {{0.2f, -0.1f, 0.3f}, {-1, 1, 1}},
                          {{0.2f, -0.1f, 0.3f}, {1, -1, -1}},     {{0.2f, -0.1f, 0.3f}, {-1, -1, -1}},
                          {{0.2f, -0.1f, 0.3f}, {1, 1, 0}},       {{0.2f, -0.1f, 0.3f}, {0, -1, 1}},
                          {{-1.7f, -0.4f, -2.3f}, {1, -0.4f, 1}}, {{2.5f, 1.5f, 2.5f}, {-1, -1, -1}}};
    std::vector<unsigned char> pixels(1024 * 768 * 4);
    for (const View& view : views) {
        lookAt(view.eye, view.eye + view.direction);
        drawFrame();
        glReadPixels(0, 0, 1024, 768, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        int gaps = 0;
        for (size_t i = 0; i < pixels.size(); i += 4)
            gaps += pixels[i] < 250 || pixels[i + 2] < 250;
        EXPECT_EQ(gaps, 0) << "looking from " << view.eye.x << ", " << view.eye.y << ", " << view.eye.z
                           << " along " << view.direction.x << ", " << view.direction.y << ", "
                           << view.direction.z;
    }
}
