// The application object: owns the window, the effect flags, the motion, the scene, the soundtrack and
// every GPU object of the render passes.
#pragma once

#include "app/flight_clock.h"
#include "app/overlay.h"
#include "app/probes.h"
#include "app/scale_control.h"
#include "app/window_mode.h"
#include "audio/audio_engine.h"
#include "motion/camera.h"
#include "motion/moving_light.h"
#include "render/bloom.h"
#include "render/depth_of_field.h"
#include "render/scene_pass.h"
#include "render/scene_target.h"
#include "render/screen_quad.h"
#include "render/shadow_pass.h"
#include "render/skybox.h"
#include "render/upscale.h"
#include "scene/image_prefetch.h"
#include "scene/import_probe.h"
#include "scene/scene_model.h"

#include <epoxy/gl.h>
#include <GLFW/glfw3.h>
#include <assimp/Importer.hpp>
#include <glm/glm.hpp>

#include <map>
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

// The scene's share of the window's width and height, the size it is drawn at, and the controller that
// may choose the share to hold a frame rate.
struct SceneScale {
    float scale = 1.0f;
    int width = 1024;
    int height = 768;
    ScaleControl control;
};

class DemoApp {
  public:
    // Without the soundtrack no audio device is opened and no music loaded.
    explicit DemoApp(bool withSoundtrack = true);
    ~DemoApp();

    // Releases every GL object the passes, the scene and the texture cache hold, leaving the passes as
    // constructed; the context stays.
    void releaseGlObjects();
    // Releases the GL objects and the scene lists and closes the window; the soundtrack plays on.
    void teardown();

    void initialize();
    void openWindow();
    void setupInput();
    void initSoundtrack();
    void startSoundtrack();
    // A new playback of the music at its volume, held paused.
    void holdSoundtrack();
    void keepSoundtrackPlaying();
    // Moves the music to the flight's place in its loop, playing or held.
    void placeSoundtrack(double flightSeconds, bool paused);
    void pauseSoundtrack(bool paused);

    // Window and life cycle
    std::unique_ptr<WindowSettings> settings;
    SceneScale sceneScale;
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

    // Scene data, the early check of the scene file, the images decoded meanwhile, and the texture cache
    Assimp::Importer importer;
    std::unique_ptr<ChildProbe> sceneFileCheck;
    std::unique_ptr<ImagePrefetch> imagePrefetch;
    std::vector<Scene> scenes;
    TextureCache textureCache;
    // Made from the prefetch's images while waiting for an earlier one, by request index, until asked for
    std::map<int, Texture> texturesMadeAhead;
    std::vector<glm::vec3> tangents;
    std::vector<glm::vec3> bitangents;

    // Render passes, each with its GL objects, uniform locations and settings
    ScenePass scenePass;
    SceneTarget sceneTarget;
    Skybox skybox;
    ShadowPass shadowPass;
    DepthOfField depthOfField;
    Bloom bloom;
    ScreenQuad screenQuad;
    Upscale upscale;

    // The viewer's hold on the run: the flight's clock, the overlay, the window's place before fullscreen
    FlightClock flightClock;
    Overlay overlay;
    WindowPlacement windowed;

    // Observation by tools: seconds per start-up phase, and the pass observer (none in the demo)
    double startupSeconds[PHASE_COUNT] = {};
    PassObserver passObserver = nullptr;
    // Where walk mode's input comes from: the window's pointer, keys and wheel when empty, as in the demo
    WalkInputSource walkInputSource = nullptr;
};

extern DemoApp* theApp;
extern bool demoMode;
