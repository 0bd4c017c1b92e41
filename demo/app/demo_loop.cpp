#include "app/demo_loop.h"

#include "app/demo_app.h"
#include "app/flight_control.h"
#include "app/frame_rate.h"
#include "app/key_controls.h"
#include "app/scene_scale.h"
#include "app/window_mode.h"
#include "render/bloom.h"
#include "render/depth_of_field.h"
#include "render/scene_pass.h"
#include "render/scene_target.h"
#include "render/screen_quad.h"
#include "render/shader_loader.h"
#include "render/shadow_pass.h"
#include "render/skybox.h"
#include "render/upscale.h"
#include "scene/scene_import.h"
#include "scene/texture_loader.h"

#include <cstdio>

namespace {

void reportFrameRate(double now) {
    if (countFrame(now, theApp->fpsLastTime, theApp->fpsFrameCount, theApp->fps))
        printf("%f\n", static_cast<double>(theApp->fps));
}

// The scene is shaded once, into the target that its picture needs. The depth of field covers the whole
// frame with an image made from the single-sample scene image; there the opaque meshes' depth is laid
// first, so that each pixel is shaded once. Otherwise the scene is shaded with 4 samples and resolved:
// into the scene image when the bloom reads it, and the frame shows that image, or straight into the
// frame. The frame is the window, or the upscale's target when the scene is drawn smaller. (A depth laid
// first does not pay with samples: the software rasteriser then shades every fragment before it tests the
// depth.)
void shadeScene(const ShaderPrograms& programs) {
    const SceneTarget& target = theApp->sceneTarget;
    if (theApp->dofOn == 1) {
        {
            PassScope scope(PASS_SCENE_DEPTH);
            glUseProgram(programs.dofDepthProgram);
            drawSceneDepth(target.sceneFramebuffer);
        }
        PassScope scope(PASS_SCENE);
        glUseProgram(programs.sceneProgram);
        drawScene(target.sceneFramebuffer, SCENE_DEPTH_LAID);
        return;
    }
    {
        PassScope scope(PASS_SCENE_MULTISAMPLE);
        glUseProgram(programs.sceneProgram);
        drawScene(target.multisampleFramebuffer);
    }
    PassScope scope(PASS_RESOLVE);
    if (theApp->bloomOn == 1) {
        copyPicture(target.multisampleFramebuffer, target.sceneFramebuffer);
        copyPicture(target.sceneFramebuffer, frameFramebuffer());
    } else {
        copyPicture(target.multisampleFramebuffer, frameFramebuffer());
    }
}

void addBloom(const ShaderPrograms& programs) {
    PassScope scope(PASS_BLOOM);
    glUseProgram(programs.dofProgram);
    reduceForBloom();
    glUseProgram(programs.bloomProgram);
    drawBloom();
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glUseProgram(programs.quadProgram);
    drawQuad(QUAD_BLOOM);
    glDisable(GL_BLEND);
}

void showDepthOfField(const ShaderPrograms& programs) {
    {
        PassScope scope(PASS_DOF_DEPTH);
        glUseProgram(programs.dofDepthProgram);
        drawDofDepth();
    }
    {
        PassScope scope(PASS_DOF_STAGES);
        glUseProgram(programs.dofProgram);
        drawDepthOfField();
    }
    PassScope scope(PASS_QUAD);
    glUseProgram(programs.quadProgram);
    drawQuad(QUAD_DOF);
}

void upscaleFrame(const ShaderPrograms& programs) {
    PassScope scope(PASS_UPSCALE);
    glUseProgram(programs.upscaleProgram);
    drawUpscale(theApp->settings->width, theApp->settings->height);
}

// Times `step` as `phase`, less the textures it loads, which count as their own phase.
template <typename Step> void withoutTextureTime(StartupPhase phase, Step step) {
    double texturesBefore = theApp->startupSeconds[PHASE_TEXTURES];
    {
        PhaseTimer timer(theApp->startupSeconds[phase]);
        step();
    }
    theApp->startupSeconds[phase] -= theApp->startupSeconds[PHASE_TEXTURES] - texturesBefore;
}

bool keyDown(int arrowKey, int letterKey) {
    return glfwGetKey(theApp->window, arrowKey) == GLFW_PRESS ||
           glfwGetKey(theApp->window, letterKey) == GLFW_PRESS;
}

// After the window opened: the swap interval, fullscreen, then the passes' size from the framebuffer that
// came up.
void applyWindowOptions(const StartOptions& options) {
    if (options.headless)
        return;
    if (options.vsync)
        glfwSwapInterval(1);
    if (options.fullscreen)
        enterFullscreen(glfwGetPrimaryMonitor());
    takeFramebufferSize();
}

// The sky's images, decoded from the start; the scene's follow as soon as the scene file check has read it.
std::unique_ptr<ImagePrefetch> startImagePrefetch() {
    std::vector<std::pair<int, std::string>> requests;
    for (const char* face : SKY_IMAGES)
        requests.emplace_back(SKY_IMAGE_COLORS, face);
    return std::make_unique<ImagePrefetch>(requests);
}

} // namespace

WalkInput stillWalkInput(double now) {
    WalkInput still;
    still.now = now;
    still.cursorX = theApp->camera->lastMouseX;
    still.cursorY = theApp->camera->lastMouseY;
    return still;
}

WalkInput readWalkInput(double now) {
    WalkInput input;
    input.now = now;
    glfwGetCursorPos(theApp->window, &input.cursorX, &input.cursorY);
    input.forward = keyDown(GLFW_KEY_UP, GLFW_KEY_W);
    input.back = keyDown(GLFW_KEY_DOWN, GLFW_KEY_S);
    input.right = keyDown(GLFW_KEY_RIGHT, GLFW_KEY_D);
    input.left = keyDown(GLFW_KEY_LEFT, GLFW_KEY_A);
    input.wheel = theApp->mouseWheel;
    return input;
}

void moveCamera(double now) {
    if (demoMode) {
        theApp->camera->updatePath(flightReading(now));
        theApp->dofOn = theApp->camera->pathDofOn != 0;
    } else {
        const WalkInputSource& source = theApp->walkInputSource;
        theApp->camera->updateWalk(source             ? source(now)
                                   : theApp->headless ? stillWalkInput(now)
                                                      : readWalkInput(now));
    }
}

ShaderPrograms buildPrograms() {
    ShaderPrograms programs;
    programs.sceneProgram =
        compileProgram("shader/VertexShader.vertexshader", "shader/FragmentShader.fragmentshader");
    programs.shadowProgram = compileShadowProgram();
    programs.dofDepthProgram = compileProgram("shader/Dof_depth.vert", "shader/Dof_depth.frag");
    programs.dofProgram = compileProgram("shader/Dof.vert", "shader/Dof.frag");
    programs.quadProgram = compileProgram("shader/TextureQuad.vert", "shader/TextureQuad.frag");
    programs.bloomProgram = compileProgram("shader/Bloom.vert", "shader/Bloom.frag");
    programs.upscaleProgram = compileQuietProgram("shader/Upscale.vert", "shader/Upscale.frag");
    return programs;
}

void initPasses(const ShaderPrograms& programs) {
    initSceneUniforms(programs.sceneProgram);
    initShadowMapping(programs.shadowProgram);
    initDepthOfField(programs.dofDepthProgram, programs.dofProgram);
    initBloom(programs.bloomProgram);
    initScreenQuad(programs.quadProgram);
    initUpscale(programs.upscaleProgram);
    initSkybox();
}

bool resizePasses(int width, int height) {
    if (width <= 0 || height <= 0)
        return false;
    useWindowSize(width, height);
    if (theApp->windowFramebuffer() != 0)
        theApp->windowTarget = createWindowTarget(width, height);
    const SceneScale& scene = theApp->sceneScale;
    sizeSceneTarget(scene.width, scene.height);
    sizeDepthOfField(scene.width, scene.height);
    sizeBloom(scene.width, scene.height);
    sizeUpscale(scene.width, scene.height, width, height);
    return true;
}

void useWindowSize(int width, int height) {
    theApp->settings->width = width;
    theApp->settings->height = height;
    SceneScale& scene = theApp->sceneScale;
    scene.width = scaledSide(width, scene.scale);
    scene.height = scaledSide(height, scene.scale);
    theApp->camera->aspectRatio = static_cast<float>(width) / static_cast<float>(height);
}

void drawPasses(const ShaderPrograms& programs) {
    if (theApp->shadowMappingOn == 1) {
        PassScope scope(PASS_SHADOW);
        glUseProgram(programs.shadowProgram);
        drawShadowMap();
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    shadeScene(programs);
    postProcess(programs);
    if (upscaling())
        upscaleFrame(programs);
}

bool startDemo(ShaderPrograms& programs, const StartOptions& options) {
    demoMode = true;
    // Before the soundtrack's audio thread exists, so that the children are copies of a small process
    // with a single thread.
    std::unique_ptr<ImagePrefetch> imagePrefetch = startImagePrefetch();
    ImageTable& images = imagePrefetch->table();
    std::unique_ptr<ChildProcess> sceneFileCheck =
        startSceneFileCheck([&images](const aiScene* imported) { requestSceneMaps(imported, images); });
    theApp = new DemoApp(!options.mute);
    theApp->headless = options.headless;
    theApp->imagePrefetch = std::move(imagePrefetch);
    theApp->sceneFileCheck = std::move(sceneFileCheck);
    theApp->sceneScale.scale = boundedScale(static_cast<float>(options.scale));
    holdSceneFrameRate(options.targetFps);
    // Before the window opens: the window, every pass's targets and the projection follow this size.
    useWindowSize(options.width, options.height);
    theApp->settings->resizable = options.resizable;
    theApp->screenshots.folder = options.screenshotFolder;
    {
        PhaseTimer timer(theApp->startupSeconds[PHASE_WINDOW]);
        theApp->initialize();
    }
    theApp->normalMappingOn = 1;
    theApp->bloomOn = 1;
    theApp->shadowMappingOn = 1;
    theApp->dofOn = 0;
    if (theApp->state != INIT) {
        // A headless start-up said why in its one line.
        if (!options.headless)
            fprintf(stderr, "Didn't reach INIT-state");
        return false;
    }
    applyWindowOptions(options);
    withoutTextureTime(PHASE_SCENE_IMPORT, [] { loadScene(SCENE_OFFSET); });
    {
        PhaseTimer timer(theApp->startupSeconds[PHASE_SHADER_BUILD]);
        programs = buildPrograms();
    }
    withoutTextureTime(PHASE_PASS_SETUP, [&] { initPasses(programs); });
    // Every image of the start-up is loaded.
    finishImagePrefetch(*theApp);
    if (!options.headless) {
        glfwSetKeyCallback(theApp->window, onKeyEvent);
        followFramebufferSize();
    }
    {
        PhaseTimer timer(theApp->startupSeconds[PHASE_SOUNDTRACK]);
        theApp->startSoundtrack();
    }
    if (options.startSeconds > 0.0)
        seekFlight(options.startSeconds, options.headless ? 0.0 : glfwGetTime());
    return true;
}

void renderFrame(const ShaderPrograms& programs, double now) {
    reportFrameRate(now);
    followFrameRate(now);
    moveCamera(now);
    theApp->light->update(flightReading(now));
    theApp->keepSoundtrackPlaying();
    drawPasses(programs);
}

void postProcess(const ShaderPrograms& programs) {
    if (theApp->dofOn == 0 && theApp->bloomOn == 1)
        addBloom(programs);
    if (theApp->dofOn == 1)
        showDepthOfField(programs);
}

void presentFrame() {
    if (theApp->headless) {
        glFlush();
    } else {
        glfwSwapBuffers(theApp->window);
        glfwPollEvents();
    }
    uploadNextTopLevel(*theApp);
}

bool keepRunning() {
    return glfwGetKey(theApp->window, GLFW_KEY_ESCAPE) != GLFW_PRESS &&
           !glfwWindowShouldClose(theApp->window);
}

void releaseGlObjects(ShaderPrograms& programs) {
    programs.sceneProgram.reset();
    theApp->releaseGlObjects();
    programs = ShaderPrograms();
}

void shutdownDemo(ShaderPrograms& programs) {
    releaseGlObjects(programs);
    // The object stays, reachable through `theApp`: the soundtrack it holds plays until the process ends.
    theApp->teardown();
}
