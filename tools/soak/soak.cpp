// Runs the demo's real start-up and frame loop over the whole flight and on past its end, on a controlled
// clock, pressing keys through the demo's own key callback, and checks the run on the way: the GL error
// state after every render pass and after every frame, non-finite colours in sampled frames, the number of
// GL objects and the process's resident memory.
//
// `soak --help` lists the options.
// The demo's console goes to standard output unchanged. The findings go to standard error, one
// "name value..." line each; the exit code is 0 unless the run could not start.
#include "app/command_line.h"
#include "app/demo_app.h"
#include "app/demo_loop.h"
#include "app/key_controls.h"
#include "app/probes.h"
#include "frame_driver.h"
#include "render/scene_target.h"
#include "render/window_target.h"
#include "tool_start.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct KeyPress {
    double time;
    int key;
};

struct Options {
    double step = 0.25;
    double end = 175.0;
    double sample = 5.0;
    std::vector<KeyPress> keys;
    ToolStartOptions start;
};

int keyCode(const std::string& name) {
    if (name == "F10")
        return GLFW_KEY_F10;
    if (name.size() == 2 && name[0] == 'F' && name[1] >= '1' && name[1] <= '5')
        return GLFW_KEY_F1 + (name[1] - '1');
    return -1;
}

// "T:KEY,..." in order of time, or a ValidationError.
std::vector<KeyPress> parseKeys(const std::string& text) {
    std::vector<KeyPress> keys;
    for (const std::string& item : splitList(text)) {
        size_t colon = item.find(':');
        KeyPress press{0.0, colon == std::string::npos ? -1 : keyCode(item.substr(colon + 1))};
        if (press.key < 0 || !parseNumber(item.substr(0, colon), press.time) ||
            !Interval::atLeast(0.0).contains(press.time))
            throw CLI::ValidationError("--keys", "'" + item +
                                                     "' is not a clock reading from 0, a colon and a "
                                                     "key F1 to F5 or F10");
        keys.push_back(press);
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const KeyPress& a, const KeyPress& b) { return a.time < b.time; });
    return keys;
}

void addOptions(CLI::App& app, Options& options) {
    addNumber(app, "--step", options.step, "clock step between frames, in seconds (default 0.25)",
              Interval::strictlyBetween(0.0, SHORTEST_PATH_SEGMENT));
    addNumber(app, "--end", options.end,
              "the clock reading of the last frame (default 175: the flight ends at 155)",
              Interval::atLeast(0.0));
    addNumber(app, "--sample", options.sample,
              "seconds between sampled frames (default 5); the first frame after each key is sampled too",
              Interval::above(0.0));
    app.add_option_function<std::string>(
           "--keys", [&options](const std::string& text) { options.keys = parseKeys(text); },
           "T:KEY,...: key presses, clock reading and key name (F1 to F5, F10), e.g. 100:F10,101:F1")
        ->type_name("LIST");
    addToolStartOptions(app, options.start);
}

// GL errors, each reported with where it was found.
struct ErrorLog {
    int count = 0;
    void check(const char* where, double time) {
        for (GLenum error = glGetError(); error != GL_NO_ERROR; error = glGetError()) {
            ++count;
            std::fprintf(stderr, "gl_error 0x%04x %s at %.2f\n", error, where, time);
        }
    }
};

long residentKib() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.compare(0, 6, "VmRSS:") == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

// GL objects by kind, counted by asking for every name up to a bound far above what the demo creates.
std::vector<int> countGlObjects() {
    constexpr GLuint LAST_NAME = 1 << 16;
    using IsObject = GLboolean(GLAPIENTRY*)(GLuint);
    const IsObject kinds[] = {glIsTexture,      glIsBuffer,  glIsVertexArray, glIsFramebuffer,
                              glIsRenderbuffer, glIsProgram, glIsShader};
    std::vector<int> counts;
    for (IsObject isObject : kinds) {
        int count = 0;
        for (GLuint name = 1; name <= LAST_NAME; ++name)
            count += isObject(name) == GL_TRUE;
        counts.push_back(count);
    }
    return counts;
}

void report(const char* name, const std::vector<int>& values) {
    std::fprintf(stderr, "%s", name);
    for (int value : values)
        std::fprintf(stderr, " %d", value);
    std::fprintf(stderr, "\n");
}

// A floating-point stand-in for the scene target, swapped in for a sampled frame: the scene pass then
// writes its colours unclamped, so a NaN or an infinity stays visible, and the post-processes read them.
struct FloatSceneTarget {
    SceneTarget target;

    void create(int width, int height) { target = createSceneTarget(width, height, GL_RGBA32F); }

    void swap() { std::swap(target, theApp->sceneTarget); }

    // A frame without post-process resolves its samples into the window only; this puts them into the
    // scene image too, for inspection.
    void resolveForInspection() {
        if (theApp->dofOn == 0 && theApp->bloomOn == 0)
            copyPicture(target.multisampleFramebuffer, target.sceneFramebuffer);
    }
};

struct SampleFindings {
    int nonFinite = 0;
    int nanSignature = 0;
};

// Non-finite colours of the scene image, and window pixels that are pure black where the scene image is
// lit: a NaN written to the window's 8-bit buffer becomes 0, so a post-process that turns lit pixels into
// NaN leaves exactly that mark. The depth-of-field views other than the image itself show black on purpose.
SampleFindings inspectSample(const FloatSceneTarget& target, int width, int height) {
    size_t pixels = static_cast<size_t>(width) * height;
    std::vector<float> scene(pixels * 4);
    glBindTexture(GL_TEXTURE_2D, target.target.sceneColorTexture);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_FLOAT, scene.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    std::vector<unsigned char> window(pixels * 3);
    readFromWindow(theApp->windowFramebuffer());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, window.data());
    bool windowShowsImage = theApp->dofOn == 0 || theApp->dofShow == 0;
    SampleFindings findings;
    for (size_t i = 0; i < pixels; ++i) {
        const float* colour = &scene[i * 4];
        if (!std::isfinite(colour[0]) || !std::isfinite(colour[1]) || !std::isfinite(colour[2])) {
            ++findings.nonFinite;
            continue;
        }
        float luminance = 0.2126f * colour[0] + 0.7152f * colour[1] + 0.0722f * colour[2];
        const unsigned char* shown = &window[i * 3];
        findings.nanSignature += windowShowsImage && luminance > 0.02f && !shown[0] && !shown[1] && !shown[2];
    }
    return findings;
}

// The effect keys, as the window's key callback hands them on; none of them is a viewer key.
void pressKey(int key, double now) {
    onKey(key, GLFW_PRESS, now);
    onKey(key, GLFW_RELEASE, now);
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    CLI::App app("Runs the whole flight and past its end on a controlled clock and checks it.");
    nameProgram(app, "tellmarin-soak");
    addOptions(app, options);
    if (std::optional<int> exitCode = parseCommandLine(app, argc, argv))
        return *exitCode;
    setvbuf(stdout, nullptr, _IOLBF, 0);
    StartOptions start;
    ShaderPrograms programs;
    if (!startTool(options.start, start, programs))
        return 1;
    ErrorLog errors;
    errors.check("start-up", 0.0);
    const int width = theApp->settings->width, height = theApp->settings->height;
    FloatSceneTarget floatTarget;
    floatTarget.create(width, height);
    errors.check("soak set-up", 0.0);
    double currentTime = 0.0;
    theApp->passObserver = [&](RenderPass pass, bool begins) {
        if (!begins)
            errors.check(renderPassName(pass), currentTime);
    };
    std::fprintf(stderr, "rss_kib_after_startup %ld\n", residentKib());
    std::vector<int> objectsAfterStartup = countGlObjects();

    int frames = 0, samples = 0, musicRestarts = 0;
    SampleFindings found;
    size_t nextKey = 0;
    double nextSample = 0.0;
    for (long i = 0;; ++i) {
        double time = i * options.step;
        if (time > options.end + 1e-9)
            break;
        currentTime = time;
        bool keyed = false;
        for (; nextKey < options.keys.size() && options.keys[nextKey].time <= time + 1e-9; ++nextKey) {
            pressKey(options.keys[nextKey].key, time);
            keyed = true;
        }
        bool sampled = keyed || time >= nextSample - 1e-9;
        if (sampled)
            floatTarget.swap();
        frameAt(programs, time);
        if (sampled) {
            floatTarget.swap();
            floatTarget.resolveForInspection();
            SampleFindings findings = inspectSample(floatTarget, width, height);
            found.nonFinite += findings.nonFinite;
            found.nanSignature += findings.nanSignature;
            ++samples;
            if (time >= nextSample - 1e-9) {
                nextSample += options.sample;
                std::fprintf(stderr, "rss_kib_at %.2f %ld\n", time, residentKib());
            }
        }
        musicRestarts += !theApp->musicPlaying;
        presentFrame();
        errors.check("frame", time);
        ++frames;
    }
    theApp->passObserver = nullptr;

    std::fprintf(stderr, "frames %d\nsampled_frames %d\n", frames, samples);
    std::fprintf(stderr, "gl_errors %d\n", errors.count);
    std::fprintf(stderr, "non_finite_pixels %d\nnan_signature_pixels %d\n", found.nonFinite,
                 found.nanSignature);
    std::fprintf(stderr, "music_restarts %d\n", musicRestarts);
    report("gl_objects_after_startup", objectsAfterStartup);
    report("gl_objects_at_end", countGlObjects());
    std::fprintf(stderr, "rss_kib_at_end %ld\n", residentKib());
    floatTarget = FloatSceneTarget();
    shutdownDemo(programs);
    return 0;
}
