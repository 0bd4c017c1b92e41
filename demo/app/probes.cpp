#include "app/probes.h"

#include "app/demo_app.h"

const char* startupPhaseName(StartupPhase phase) {
    static const char* const names[PHASE_COUNT] = {"window",   "soundtrack",   "scene_import",
                                                   "textures", "shader_build", "pass_setup"};
    return names[phase];
}

const char* renderPassName(RenderPass pass) {
    static const char* const names[PASS_COUNT] = {"shadow",  "scene_depth", "scene",     "scene_4x",
                                                  "resolve", "bloom",       "dof_depth", "dof_stages",
                                                  "quad",    "upscale"};
    return names[pass];
}

namespace {

void tellObservers(RenderPass pass, bool begins) {
    for (const PassObserver* observer : {&theApp->passObserver, &theApp->overlayPassObserver})
        if (*observer)
            (*observer)(pass, begins);
}

} // namespace

PassScope::PassScope(RenderPass pass) : pass(pass) {
    tellObservers(pass, true);
}

PassScope::~PassScope() {
    tellObservers(pass, false);
}
