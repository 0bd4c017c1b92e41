// The house against the demo's fixed flights, run with the program's own camera and light: the
// camera passes through no surface and keeps clear of all of them, and the light never sits
// inside a solid.
#include "house_geometry.h"

#include "motion/camera.h"
#include "motion/moving_light.h"
#include "scene/scene_import.h"

#include <gtest/gtest.h>

namespace {

// The scene's placement, undone.
glm::vec3 toModel(const glm::vec3& world) {
    return (world - SCENE_OFFSET) / SCENE_SCALE;
}

// Frames a millisecond apart: far finer than the distances that matter here.
constexpr double FRAME = 0.001;

// Model units between the eye and any surface; the near plane is a single unit.
constexpr float CLEARANCE = 30.0f;

class HouseFlight : public ::testing::Test {
  protected:
    void SetUp() override {
        const aiScene* scene = importHouse(importer);
        ASSERT_NE(scene, nullptr) << importer.GetErrorString();
        triangles = houseTriangles(scene);
    }
    Assimp::Importer importer;
    std::vector<HouseTriangle> triangles;
};

} // namespace

TEST_F(HouseFlight, CameraKeepsClearOfEverySurface) {
    TriangleGrid grid(triangles, CLEARANCE, glm::vec3(100.0f));
    Camera camera;
    camera.updatePath(0.0);
    float closest = CLEARANCE;
    double closestAt = -1.0;
    glm::vec3 previous = toModel(camera.position);
    for (double now = FRAME; now <= 156.0; now += FRAME) {
        camera.updatePath(now);
        glm::vec3 eye = toModel(camera.position);
        // Steps stay far shorter than the clearance, so an eye that stays clear never crosses a surface.
        ASSERT_LT(glm::length(eye - previous), CLEARANCE) << "at " << now << " s";
        previous = eye;
        float distance = nearestDistance(eye, grid.near(eye), CLEARANCE);
        if (distance < closest) {
            closest = distance;
            closestAt = now;
        }
    }
    EXPECT_GE(closest, CLEARANCE) << "the eye comes within " << closest << " units of a surface at "
                                  << closestAt << " s";
}

TEST_F(HouseFlight, LightNeverSitsInsideASolid) {
    TriangleGrid columns(triangles, 0.0f, glm::vec3(100.0f, 1e7f, 100.0f));
    MovingLight light;
    for (double now = 0.0; now <= 126.0; now += FRAME) {
        light.update(now);
        glm::vec3 p = toModel(light.position);
        ASSERT_LE(solidDepth(p, columns.near(p)), 0)
            << "light at " << p.x << ", " << p.y << ", " << p.z << " at " << now << " s";
    }
}
