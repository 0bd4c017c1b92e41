#include "app/headless_context.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

std::string eglErrorText() {
    char text[32];
    std::snprintf(text, sizeof text, "EGL error 0x%04x", static_cast<unsigned>(eglGetError()));
    return text;
}

bool hasExtension(const char* extensions, const char* name) {
    if (!extensions)
        return false;
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(extensions, name); at; at = std::strstr(at + length, name))
        if ((at == extensions || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0'))
            return true;
    return false;
}

// A hardware device's display, or none: Mesa lists its software rasteriser as a device too, and on the
// surfaceless platform that one comes with the same driver and a render node where there is one.
EGLDisplay hardwareDeviceDisplay(const char* clientExtensions) {
    if (!hasExtension(clientExtensions, "EGL_EXT_platform_device") ||
        !hasExtension(clientExtensions, "EGL_EXT_device_enumeration"))
        return EGL_NO_DISPLAY;
    EGLint count = 0;
    if (!eglQueryDevicesEXT(0, nullptr, &count) || count <= 0)
        return EGL_NO_DISPLAY;
    std::vector<EGLDeviceEXT> devices(static_cast<size_t>(count));
    eglQueryDevicesEXT(count, devices.data(), &count);
    for (EGLDeviceEXT device : devices) {
        const char* deviceExtensions = eglQueryDeviceStringEXT(device, EGL_EXTENSIONS);
        if (hasExtension(deviceExtensions, "EGL_MESA_device_software"))
            continue;
        EGLDisplay display = eglGetPlatformDisplayEXT(EGL_PLATFORM_DEVICE_EXT, device, nullptr);
        if (display != EGL_NO_DISPLAY)
            return display;
    }
    return EGL_NO_DISPLAY;
}

EGLDisplay surfacelessDisplay(const char* clientExtensions) {
    if (!hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless"))
        return EGL_NO_DISPLAY;
    return eglGetPlatformDisplayEXT(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

} // namespace

const char* contextKindName(ContextKind kind) {
    switch (kind) {
    case ContextKind::EGL_DEVICE:
        return "EGL device";
    case ContextKind::EGL_SURFACELESS:
        return "EGL surfaceless";
    default:
        return "GLX";
    }
}

bool chooseHeadless(bool forced, const char* display, const char* waylandDisplay) {
    return forced || !((display && *display) || (waylandDisplay && *waylandDisplay));
}

HeadlessContext::~HeadlessContext() {
    close();
}

bool HeadlessContext::open(std::string& error) {
    // Without any EGL vendor library the client extensions cannot even be asked for.
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    EGLDisplay device = hardwareDeviceDisplay(clientExtensions);
    if (device != EGL_NO_DISPLAY) {
        kind = ContextKind::EGL_DEVICE;
        std::string deviceError;
        if (openOn(device, deviceError))
            return true;
    }
    kind = ContextKind::EGL_SURFACELESS;
    EGLDisplay surfaceless = surfacelessDisplay(clientExtensions);
    if (surfaceless == EGL_NO_DISPLAY) {
        error = "no EGL display: neither a GPU's EGL device nor Mesa's surfaceless platform is available";
        return false;
    }
    return openOn(surfaceless, error);
}

bool HeadlessContext::openOn(EGLDisplay candidate, std::string& error) {
    if (!eglInitialize(candidate, nullptr, nullptr)) {
        error = "no EGL display: it could not be initialised (" + eglErrorText() + ")";
        return false;
    }
    display = candidate;
    const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_SURFACE_TYPE, 0, EGL_NONE};
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                        3,
                                        EGL_CONTEXT_MINOR_VERSION,
                                        3,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                        EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configs = 0;
    if (eglBindAPI(EGL_OPENGL_API) && eglChooseConfig(display, configAttributes, &config, 1, &configs) &&
        configs == 1)
        context = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (context == EGL_NO_CONTEXT || !eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) {
        error = "no OpenGL 3.3 core context through EGL (" + eglErrorText() + ")";
        close();
        return false;
    }
    return true;
}

void HeadlessContext::close() {
    if (display == EGL_NO_DISPLAY)
        return;
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != EGL_NO_CONTEXT)
        eglDestroyContext(display, context);
    context = EGL_NO_CONTEXT;
    eglTerminate(display);
    display = EGL_NO_DISPLAY;
}
