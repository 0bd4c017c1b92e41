// An OpenGL 3.3 core context without a window system, through EGL: on a GPU's EGL device where the driver
// offers one, otherwise on Mesa's surfaceless platform. It has no default framebuffer: the frames go into
// a framebuffer object standing in for the window (render/window_target.h).
#pragma once

#include <epoxy/egl.h>

#include <string>

// Where a context came from, as the benchmark's report names it.
enum class ContextKind { GLX, EGL_DEVICE, EGL_SURFACELESS };

const char* contextKindName(ContextKind kind);

// Whether a tool renders without a window: when `forced`, or when the environment names no display, that
// is when the values of DISPLAY and WAYLAND_DISPLAY (null when unset) are both unset or empty.
bool chooseHeadless(bool forced, const char* display, const char* waylandDisplay);

// Owns an EGL display and a context current on this thread, with no surface; releases both.
class HeadlessContext {
  public:
    HeadlessContext() = default;
    ~HeadlessContext();
    HeadlessContext(const HeadlessContext&) = delete;
    HeadlessContext& operator=(const HeadlessContext&) = delete;

    // Makes a 3.3 core context current. False, with `error` set to one line, when no EGL display or no
    // such context is available.
    bool open(std::string& error);

    ContextKind kind = ContextKind::EGL_SURFACELESS;

  private:
    bool openOn(EGLDisplay candidate, std::string& error);
    void close();

    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
};
