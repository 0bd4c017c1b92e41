#include "app/demo_app.h"

DemoApp* theApp = nullptr;
bool demoMode = false;

DemoApp::DemoApp()
    : settings(std::make_unique<WindowSettings>()), camera(std::make_unique<Camera>()),
      light(std::make_unique<MovingLight>()) {
    // GLFW is not initialised yet, so its clock reads 0: the first frame-rate window starts with it.
    fpsLastTime = glfwGetTime();
    // Last: a soundtrack failure ends the process before any window exists.
    PhaseTimer timer(startupSeconds[PHASE_SOUNDTRACK]);
    initSoundtrack();
}

DemoApp::~DemoApp() {
    if (state != DESTROYED)
        teardown();
}

void DemoApp::teardown() {
    for (const Scene& scene : scenes) {
        for (const Mesh& mesh : scene.opaqueMeshes)
            glDeleteVertexArrays(1, &mesh.vao);
        for (const Mesh& mesh : scene.transparentMeshes)
            glDeleteVertexArrays(1, &mesh.vao);
        for (const Material& material : scene.materials)
            glDeleteTextures(1, &material.diffuseTexture);
    }
    state = DESTROYED;
    scenes.clear();
    textureCache.clear();
    importer.FreeScene();
    glfwTerminate();
}
