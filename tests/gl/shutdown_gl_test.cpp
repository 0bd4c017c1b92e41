#include "app/demo_app.h"
#include "app/demo_loop.h"
#include "gl_fixture.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

bool markedForDeletion(GLuint name, PFNGLGETPROGRAMIVPROC getParameter) {
    GLint marked = GL_FALSE;
    getParameter(name, GL_DELETE_STATUS, &marked);
    return marked == GL_TRUE;
}

// The live GL objects by kind, found by asking for every name up to a bound far above what the demo
// makes (GL hands names out counting up from 1). A program still in use somewhere in the context, and its
// shaders, are only marked for deletion; GL frees them once nothing uses them, and they do not count.
std::map<std::string, std::vector<GLuint>> liveGlObjects() {
    struct Kind {
        const char* name;
        GLboolean(GLAPIENTRY* isObject)(GLuint);
        PFNGLGETPROGRAMIVPROC getParameter;
    };
    const Kind kinds[] = {
        {"texture", glIsTexture, nullptr},           {"buffer", glIsBuffer, nullptr},
        {"vertex array", glIsVertexArray, nullptr},  {"framebuffer", glIsFramebuffer, nullptr},
        {"renderbuffer", glIsRenderbuffer, nullptr}, {"program", glIsProgram, glGetProgramiv},
        {"shader", glIsShader, glGetShaderiv}};
    std::map<std::string, std::vector<GLuint>> live;
    for (const Kind& kind : kinds)
        for (GLuint name = 1; name <= 4096; ++name)
            if (kind.isObject(name) && !(kind.getParameter && markedForDeletion(name, kind.getParameter)))
                live[kind.name].push_back(name);
    return live;
}

} // namespace

// The shutdown releases every GL object while the context is current, then the scene and the window, but
// not the application object: the soundtrack it holds plays until the process ends, and stays reachable,
// so nothing the program made is left orphaned.
TEST(Shutdown, ReleasesEveryGlObjectAndTearsDownButKeepsTheApplicationAndItsMusic) {
    ShaderPrograms programs;
    StartOptions start;
    start.headless = headlessContexts;
    ASSERT_TRUE(startDemo(programs, start));
    renderFrame(programs, 0.0);
    presentFrame();
    DemoApp* app = theApp;
    ASSERT_FALSE(app->scenes.empty());
    ASSERT_FALSE(app->textureCache.empty());
    const auto held = liveGlObjects();
    for (const char* kind : {"texture", "buffer", "vertex array", "framebuffer", "renderbuffer", "program"})
        EXPECT_TRUE(held.count(kind)) << kind;

    releaseGlObjects(programs);
    EXPECT_EQ(liveGlObjects(), (std::map<std::string, std::vector<GLuint>>{}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    shutdownDemo(programs);

    EXPECT_EQ(theApp, app);
    EXPECT_EQ(app->state, DESTROYED);
    EXPECT_TRUE(app->scenes.empty());
    EXPECT_TRUE(app->textureCache.empty());
    bool playing = false;
    EXPECT_EQ(app->musicChannel.isPlaying(&playing), AUDIO_OK);
    EXPECT_TRUE(playing);

    // The next test's DemoApp needs the sound output.
    delete app->soundSystem;
    delete app;
    theApp = nullptr;
}
