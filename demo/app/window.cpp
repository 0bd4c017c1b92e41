#include "app/demo_app.h"

#include <cstdio>

namespace {

// GLFW 3 reports wheel steps as offsets; the walk camera wants the accumulated position.
void accumulateWheel(GLFWwindow*, double, double yOffset) {
    theApp->mouseWheel += yOffset;
}

// What every new context starts with: the clear colour, the depth test and face culling.
void setContextDefaults(const WindowSettings& settings) {
    glClearColor(settings.clearColor[0], settings.clearColor[1], settings.clearColor[2],
                 settings.clearColor[3]);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glEnable(GL_CULL_FACE);
}

} // namespace

void DemoApp::initialize() {
    if (state != CREATED)
        return;
    if (headless)
        openHeadlessContext();
    else
        openWindow();
    if (state != WINDOW_OPEN)
        return;
    // libepoxy resolves each function on first call; what can fail is the context it finds current. The
    // message names GLEW: it is the line scripts look for.
    if (epoxy_gl_version() < 33) {
        fprintf(stderr, "Failed to initialize GLEW\n");
        return;
    }
    if (headless) {
        windowTarget = createWindowTarget(settings->width, settings->height);
        // A context made current on a window starts with the viewport covering it; one without starts empty.
        glViewport(0, 0, settings->width, settings->height);
    } else {
        glfwSetWindowTitle(window, settings->title.c_str());
        setupInput();
    }
    state = INIT;
    glEnable(GL_FRAMEBUFFER_SRGB);
}

void DemoApp::openWindow() {
    if (!glfwInit()) {
        fprintf(stderr, "Failed to initialize GLFW\n");
        return;
    }
    // No samples: the scene is shaded off-screen, with 4 samples where the picture shows them, and resolved
    // into the window; a multisampled window could not take a resolve.
    glfwWindowHint(GLFW_SAMPLES, 0);
    glfwWindowHint(GLFW_RESIZABLE, settings->resizable ? GLFW_TRUE : GLFW_FALSE);
    // The class a desktop matches to the installed desktop entry (its StartupWMClass).
    glfwWindowHintString(GLFW_X11_CLASS_NAME, "tellmarin");
    glfwWindowHintString(GLFW_X11_INSTANCE_NAME, "tellmarin");
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_DEPTH_BITS, 32);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
    // Without an sRGB-capable window GL_FRAMEBUFFER_SRGB would encode the off-screen targets only.
    glfwWindowHint(GLFW_SRGB_CAPABLE, GLFW_TRUE);
    // The title is set once the extension loader is ready; until then the window shows this one.
    window = glfwCreateWindow(settings->width, settings->height, "GLFW", nullptr, nullptr);
    if (!window) {
        fprintf(stderr, "Failed to open GLFW window\n");
        glfwTerminate();
        return;
    }
    glfwMakeContextCurrent(window);
    setContextDefaults(*settings);
    state = WINDOW_OPEN;
}

void DemoApp::openHeadlessContext() {
    headlessContext = std::make_unique<HeadlessContext>();
    std::string error;
    if (!headlessContext->open(error)) {
        fprintf(stderr, "Headless rendering: %s\n", error.c_str());
        headlessContext.reset();
        return;
    }
    setContextDefaults(*settings);
    state = WINDOW_OPEN;
}

void DemoApp::setupInput() {
    glfwSetInputMode(window, GLFW_STICKY_KEYS, GLFW_TRUE);
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
    glfwSetCursorPos(window, settings->width / 2, settings->height / 2);
    // The first walk frame then sees no mouse movement.
    camera->lastMouseX = settings->width * 0.5f;
    camera->lastMouseY = settings->height * 0.5f;
    glfwSetScrollCallback(window, accumulateWheel);
}
