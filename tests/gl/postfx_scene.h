// A small scene for the post-process tests: flat or finely checkered rectangles facing the camera at
// chosen distances, drawn into the window and into the off-screen scene target like the scene pass does,
// with the post-process programs built and their passes prepared.
#pragma once

#include "app/demo_loop.h"

#include <glm/glm.hpp>

#include <vector>

struct TestRect {
    glm::vec2 lowerLeft, upperRight; // window area in normalised device coordinates
    float distance;                  // from the camera, in world units
    glm::vec3 color;                 // linear
    bool checkered;                  // 2 x 2 pixel checker of `color` and black
};

class PostFxScene {
  public:
    // Builds the programs, prepares the post-process passes and points the camera down -Z from the origin.
    PostFxScene();

    // Adds a rectangle as an opaque mesh of the app's scene list.
    void add(const TestRect& rect);

    // Clears and draws every rectangle into the window's back buffer and into the scene target.
    void draw();

    ShaderPrograms programs;

  private:
    Program colorProgram;
    std::vector<TestRect> rects;
};
