// The application object: owns the window, the effect flags, the motion, the scene, the soundtrack and
// every GPU object of the render passes.
#pragma once

#include "app/child_process.h"
#include "app/flight_clock.h"
#include "app/headless_context.h"
#include "app/overlay.h"
#include "app/probes.h"
#include "app/scale_control.h"
#include "app/screenshot.h"
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
#include "render/window_target.h"
#include "scene/image_prefetch.h"
#include "scene/scene_model.h"
#include "scene/texture_loader.h"

// libepoxy before GLFW, which would otherwise bring the system GL header.
#include <epoxy/gl.h>

#include <GLFW/glfw3.h>
#include <glm/glm.hpp>

#include <deque>
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
    bool resizable = false;
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
    // An EGL context with no window system, and the window's stand-in at the settings' size.
    void openHeadlessContext();
    void setupInput();
    void initSoundtrack();
    void startSoundtrack();
    // A new playback of the music at its volume, held paused.
    void holdSoundtrack();
    void keepSoundtrackPlaying();
    // Moves the music to the flight's place in its loop, playing or held.
    void placeSoundtrack(double flightSeconds, bool paused);
    void pauseSoundtrack(bool paused);

    // The framebuffer the frames end in: the window's stand-in without a window, otherwise 0.
    GLuint windowFramebuffer() const { return windowTarget.framebuffer; }

    // Window and life cycle. Headless, GLFW is never called: the context comes from EGL, and the frames
    // go into `windowTarget`.
    std::unique_ptr<WindowSettings> settings;
    bool headless = false;
    SceneScale sceneScale;
    GLFWwindow* window = nullptr;
    std::unique_ptr<HeadlessContext> headlessContext;
    WindowTarget windowTarget;
    AppState state = CREATED;
    double mouseWheel = 0.0;

    // Frame-rate counter; its first window starts at clock reading 0, where GLFW's clock and the tools'
    // begin.
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

    // Effect switches, 0 or 1, and the depth-of-field view 0..3. Ints, not bools: the shaders' switches and
    // the overlay's check boxes read them as 0 or 1.
    int shadowMappingOn = 0;
    int bloomOn = 0;
    int normalMappingOn = 0;
    int dofOn = 0;
    unsigned dofShow = 0;

    // Scene data, the early check of the scene file, the images decoded meanwhile, and the texture cache
    std::unique_ptr<ChildProcess> sceneFileCheck;
    std::unique_ptr<ImagePrefetch> imagePrefetch;
    std::vector<Scene> scenes;
    TextureCache textureCache;
    // Made from the prefetch's images while waiting for an earlier one, by request index, until asked for
    std::map<int, Texture> texturesMadeAhead;
    // Top levels of the large maps, uploaded one a frame once frames are shown
    std::deque<HeldTopLevel> heldTopLevels;
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

    // The viewer's hold on the run: the flight's clock, the overlay, the window's place before fullscreen,
    // the screenshot asked for
    FlightClock flightClock;
    Overlay overlay;
    WindowPlacement windowed;
    Screenshots screenshots;

    // Observation: seconds per start-up phase; a tool's pass observer (none in the demo) and the overlay's
    // own, each told of every pass
    double startupSeconds[PHASE_COUNT] = {};
    PassObserver passObserver = nullptr;
    PassObserver overlayPassObserver = nullptr;
    // Where walk mode's input comes from: the window's pointer, keys and wheel when empty, as in the demo
    WalkInputSource walkInputSource = nullptr;
};

extern DemoApp* theApp;
extern bool demoMode;
