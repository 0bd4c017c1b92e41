// The application object: owns the window, the effect flags, the motion, the scene, the soundtrack and
// every GPU object of the render passes.
#pragma once

#include "app/probes.h"
#include "audio/audio_engine.h"
#include "motion/camera.h"
#include "motion/moving_light.h"
#include "scene/import_probe.h"
#include "scene/scene_model.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <assimp/Importer.hpp>
#include <glm/glm.hpp>

#include <memory>
#include <string>
#include <vector>

enum AppState { CREATED = 0, WINDOW_OPEN = 1, INIT = 2, DESTROYED = 4 };

struct WindowSettings {
    float clearColor[4] = {0.1f, 0.1f, 0.7f, 0.8f};
    int width = 1024;
    int height = 768;
    std::string title = "Tellmarin...";
};

// Uniform locations of the scene program.
struct SceneUniforms {
    int projMatrix = -1, viewMatrix = -1, mvp = -1, mvMatrix = -1, modelMatrix = -1, normMatrix = -1;
    int lightPos = -1, lightKd = -1, lightKa = -1, lightKs = -1;
    int materialKd = -1, materialKa = -1, materialKs = -1, materialA = -1, materialO = -1;
    int nearFar = -1, baseTexture = -1, shadowMap = -1, normalTexture = -1;
    int smOn = -1, isNormal = -1, isSky = -1, isTrans = -1, hasTex = -1;
};

// Uniform locations of the shadow program.
struct ShadowUniforms {
    int modelMatrix = -1, pvMatrix = -1, lightPos = -1, nearFar = -1;
};

// Uniform locations of the depth-of-field depth program.
struct DofDepthUniforms {
    int modelMatrix = -1, mvpMatrix = -1, camPos = -1, nearFar = -1;
};

// Uniform locations of the depth-of-field program (also the bloom reduction).
struct DofUniforms {
    int state = -1, depthTexture = -1, sceneTexture = -1, blurTexture = -1, sceneTextureSmall = -1;
    int swidth = -1, sheight = -1, dwidth = -1, dheight = -1, dofShow = -1;
    int nearOn = -1, farOn = -1, nearR = -1, farR = -1, nearStart = -1, nearEnd = -1;
    int farStart = -1, farEnd = -1, radiusScale = -1, poisson = -1;
};

// Uniform locations of the bloom program.
struct BloomUniforms {
    int state = -1, baseTexture = -1, sceneTexture = -1, coefs = -1, offset = -1;
};

// Uniform locations of the screen-quad program.
struct QuadUniforms {
    int baseTexture = -1, cubeTexture = -1, texType = -1;
};

class DemoApp {
  public:
    DemoApp();
    ~DemoApp();

    // Releases the scene's GPU objects and lists and closes the window; the soundtrack plays on.
    void teardown();

    void initialize();
    void openWindow();
    void setupInput();
    void initSoundtrack();
    void startSoundtrack();
    void keepSoundtrackPlaying();

    // Window and life cycle
    std::unique_ptr<WindowSettings> settings;
    GLFWwindow* window = nullptr;
    AppState state = CREATED;
    double mouseWheel = 0.0;

    // Frame-rate counter
    double fpsLastTime = 0.0;
    int fpsFrameCount = 0;
    float fps = -1.0f;

    // Motion
    std::unique_ptr<Camera> camera;
    std::unique_ptr<MovingLight> light;

    // Soundtrack
    AudioResult soundResult = AUDIO_OK;
    AudioSystem* soundSystem = nullptr;
    AudioSound* music = nullptr;
    AudioChannel musicChannel;
    bool musicPlaying = false;

    // Effect switches, 0 or 1, and the depth-of-field view 0..3
    int shadowMappingOn = 0;
    int bloomOn = 0;
    int normalMappingOn = 0;
    int dofOn = 0;
    unsigned dofShow = 0;

    // Scene data, the early check of the scene file, and the texture cache
    Assimp::Importer importer;
    std::unique_ptr<ChildProbe> sceneFileCheck;
    std::vector<Scene> scenes;
    bool imageLibraryReady = false;
    TextureCache textureCache;
    std::vector<glm::vec3> tangents;
    std::vector<glm::vec3> bitangents;

    // Main scene pass, its off-screen target and the skybox
    SceneUniforms sceneUniforms;
    glm::mat4 mvMatrix = glm::mat4(1.0f);
    glm::mat4 mvpMatrix = glm::mat4(1.0f);
    glm::mat3 normalMatrix = glm::mat3(1.0f);
    GLuint sceneFramebuffer = 0;
    GLuint sceneColorTexture = 0;
    GLuint skyVao = 0;
    GLuint skyTextures[6] = {0, 0, 0, 0, 0, 0};

    // Shadow pass
    ShadowUniforms shadowUniforms;
    GLuint shadowCubeMap = 0;
    GLuint shadowFramebuffer = 0;

    // Depth of field
    bool dofNearOn = false;
    bool dofFarOn = false;
    float dofNearRadius = 0.0f, dofFarRadius = 0.0f;
    float dofNearStart = 0.0f, dofNearEnd = 0.0f, dofFarStart = 0.0f, dofFarEnd = 0.0f;
    float dofRadiusScale = 0.0f;
    glm::vec2 dofPoissonSamples[32] = {};
    GLuint dofDepthTexture = 0, dofSmallTexture = 0;
    GLuint dofBlurTexture1 = 0, dofBlurTexture2 = 0, dofResultTexture = 0;
    GLuint dofDepthFramebuffer = 0, dofSmallFramebuffer = 0, dofFramebuffer = 0;
    DofDepthUniforms dofDepthUniforms;
    DofUniforms dofUniforms;

    // Bloom
    float bloomWidth = 256.0f;
    float bloomHeight = 192.0f;
    GLuint bloomInputTexture = 0, bloomBlurTexture1 = 0, bloomBlurTexture2 = 0, bloomResultTexture = 0;
    GLuint bloomInputFramebuffer = 0, bloomFramebuffer = 0;
    float bloomCoefs[5] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    glm::vec2 bloomTexelOffset = glm::vec2(0.0f);
    BloomUniforms bloomUniforms;

    // Screen quad
    GLuint quadVao = 0;
    QuadUniforms quadUniforms;

    // Observation by tools: seconds per start-up phase, and the pass observer (none in the demo)
    double startupSeconds[PHASE_COUNT] = {};
    PassObserver passObserver = nullptr;
    // Where walk mode's input comes from: the window's pointer, keys and wheel when empty, as in the demo
    WalkInputSource walkInputSource = nullptr;
};

extern DemoApp* theApp;
extern bool demoMode;
