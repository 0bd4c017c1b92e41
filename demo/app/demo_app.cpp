#include "app/demo_app.h"

#include "scene/texture_loader.h"

DemoApp* theApp = nullptr;
bool demoMode = false;

DemoApp::DemoApp(bool withSoundtrack)
    : settings(std::make_unique<WindowSettings>()), camera(std::make_unique<Camera>()),
      light(std::make_unique<MovingLight>()) {
    // Last: a soundtrack failure ends the process before any window exists.
    PhaseTimer timer(startupSeconds[PHASE_SOUNDTRACK]);
    if (withSoundtrack)
        initSoundtrack();
}

DemoApp::~DemoApp() {
    if (state != DESTROYED)
        teardown();
}

void DemoApp::releaseGlObjects() {
    scenePass = ScenePass();
    sceneTarget = SceneTarget();
    skybox = Skybox();
    shadowPass = ShadowPass();
    depthOfField = DepthOfField();
    bloom = Bloom();
    screenQuad = ScreenQuad();
    windowTarget = WindowTarget();
    upscale = Upscale();
    scenes.clear();
    heldTopLevels.clear();
    textureCache.clear();
    texturesMadeAhead.clear();
}

void DemoApp::teardown() {
    releaseGlObjects();
    finishImagePrefetch(*this);
    state = DESTROYED;
    if (headless)
        headlessContext.reset();
    else
        glfwTerminate();
}
