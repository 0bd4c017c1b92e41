// Measures the demo: its real start-up, phase by phase, then stretches of the flight and of walk mode on a
// controlled clock, timing every render pass with GL timer queries and the whole frame with glFinish.
//
// Run from demo/ (the demo's working directory), on a display:
//   benchmark [--frames N] [--warmup W] [--json FILE] [--only NAME,...] [--finish-passes]
// --frames  measured frames per stretch (default 12)
// --warmup  frames rendered before each stretch's measured ones and left out (default 3): the driver
//           compiles shaders and fills caches on first use
// --json    also writes the figures to FILE
// --only    runs only the named stretches
// --finish-passes  times each pass on the wall clock between glFinish calls instead of with timer queries:
//           a deferred renderer such as llvmpipe may rasterise a pass's triangles inside a later pass's query
// Times are in milliseconds: median and 95th percentile (nearest rank) per stretch and per pass.
#include "app/demo_app.h"
#include "app/demo_loop.h"
#include "app/probes.h"
#include "frame_driver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Options {
    int frames = 12;
    int warmup = 3;
    std::string jsonPath;
    std::string only;
    bool finishPasses = false;
};

// A stretch of the run: the clock from `from` to `to`, in demo mode or in walk mode, with the shadow, bloom
// and normal-mapping switches (depth of field follows the flight in demo mode and is off when walking).
// The clock only runs forward; walk mode starts where the flight is at the first walk stretch and stays
// there, while the light goes on moving.
struct Stretch {
    const char* name;
    double from, to;
    bool walk;
    int shadows, bloom, normalMapping;
};

const Stretch STRETCHES[] = {
    {"bloom", 20.0, 30.0, false, 1, 1, 1},        {"dof", 51.0, 70.0, false, 1, 1, 1},
    {"walk", 75.0, 85.0, true, 1, 1, 1},          {"walk_noshadow", 85.0, 95.0, true, 0, 1, 1},
    {"walk_nobloom", 95.0, 105.0, true, 1, 0, 1}, {"walk_nonormal", 105.0, 115.0, true, 1, 1, 0},
};

struct Summary {
    double median = 0.0, p95 = 0.0, max = 0.0;
};

struct StretchResult {
    std::string name;
    int frames = 0;
    Summary frame;
    std::vector<Summary> passes = std::vector<Summary>(PASS_COUNT);
    std::vector<bool> passRan = std::vector<bool>(PASS_COUNT, false);
};

struct StartupResult {
    double phaseMs[PHASE_COUNT] = {};
    double firstFrameMs = 0.0;
    double processToFirstFrameMs = 0.0;
};

// One timer query per pass, begun and ended by the demo's pass scopes; or, finishing around each pass,
// the wall time of each.
struct PassTimers {
    bool finish = false;
    GLuint queries[PASS_COUNT] = {};
    bool ran[PASS_COUNT] = {};
    double beganAt = 0.0;
    double wallMs[PASS_COUNT] = {};
};
PassTimers passTimers;

void observePass(RenderPass pass, bool begins) {
    if (passTimers.finish) {
        glFinish();
        if (begins)
            passTimers.beganAt = probeSeconds();
        else
            passTimers.wallMs[pass] = 1e3 * (probeSeconds() - passTimers.beganAt);
    } else if (begins) {
        glBeginQuery(GL_TIME_ELAPSED, passTimers.queries[pass]);
    } else {
        glEndQuery(GL_TIME_ELAPSED);
    }
    if (!begins)
        passTimers.ran[pass] = true;
}

double passMilliseconds(int pass) {
    if (passTimers.finish)
        return passTimers.wallMs[pass];
    GLuint64 nanoseconds = 0;
    glGetQueryObjectui64v(passTimers.queries[pass], GL_QUERY_RESULT, &nanoseconds);
    return 1e-6 * static_cast<double>(nanoseconds);
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; i += 2) {
        if (!std::strcmp(argv[i], "--finish-passes")) {
            options.finishPasses = true;
            --i;
        } else if (i + 1 == argc) {
            return false;
        } else if (!std::strcmp(argv[i], "--frames"))
            options.frames = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--warmup"))
            options.warmup = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--json"))
            options.jsonPath = argv[i + 1];
        else if (!std::strcmp(argv[i], "--only"))
            options.only = "," + std::string(argv[i + 1]) + ",";
        else
            return false;
    }
    return options.frames > 0 && options.warmup >= 0;
}

// Seconds the process ran before `main`, from the kernel's start time (10 ms resolution).
double secondsBeforeMain() {
    double uptime = 0.0;
    std::ifstream("/proc/uptime") >> uptime;
    std::ifstream statFile("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    // Fields after the command name, which may hold spaces, start behind its closing parenthesis; the
    // start time is the 22nd field.
    unsigned long long startTicks = 0;
    std::sscanf(stat.c_str() + stat.rfind(')') + 1,
                " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d "
                "%*d %*d %*d %*d %llu",
                &startTicks);
    return std::max(0.0, uptime - static_cast<double>(startTicks) / sysconf(_SC_CLK_TCK));
}

Summary summarize(std::vector<double> values) {
    Summary summary;
    if (values.empty())
        return summary;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    summary.median = n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
    summary.p95 = values[static_cast<size_t>(std::ceil(0.95 * n)) - 1];
    summary.max = values.back();
    return summary;
}

// Renders, presents and finishes one frame; its wall time in ms, and each pass's GPU time into `passMs`.
double timedFrame(const ShaderPrograms& programs, double time, std::vector<std::vector<double>>& passMs) {
    std::fill(std::begin(passTimers.ran), std::end(passTimers.ran), false);
    double start = probeSeconds();
    frameAt(programs, time);
    presentFrame();
    glFinish();
    double frameMs = 1e3 * (probeSeconds() - start);
    for (int pass = 0; pass < PASS_COUNT; ++pass) {
        if (!passTimers.ran[pass])
            continue;
        passMs[pass].push_back(passMilliseconds(pass));
    }
    return frameMs;
}

void setUpStretch(const Stretch& stretch) {
    theApp->shadowMappingOn = stretch.shadows;
    theApp->bloomOn = stretch.bloom;
    theApp->normalMappingOn = stretch.normalMapping;
    if (stretch.walk && demoMode) {
        const Camera& camera = *theApp->camera;
        glm::vec3 direction = glm::normalize(camera.pathTarget - camera.pathPosition);
        enterWalk(camera.pathPosition, std::atan2(direction.x, direction.z), std::asin(direction.y));
    }
    if (stretch.walk)
        theApp->dofOn = 0;
}

// The paths are brought up to each frame's time in short steps, so that frames far apart still show
// their own moments.
double measuredFrame(const ShaderPrograms& programs, double& clock, double time,
                     std::vector<std::vector<double>>& passMs) {
    followPaths(clock, time, 1.0);
    clock = time;
    return timedFrame(programs, time, passMs);
}

// Warm-up frames lead up to the stretch at the same pace as its measured frames.
StretchResult runStretch(const ShaderPrograms& programs, const Stretch& stretch, const Options& options,
                         double& clock) {
    double step = (stretch.to - stretch.from) / options.frames;
    double start = std::max(clock, stretch.from - step * options.warmup);
    followPaths(clock, start, 1.0);
    clock = start;
    setUpStretch(stretch);
    std::vector<std::vector<double>> passMs(PASS_COUNT);
    for (int i = 0; i < options.warmup; ++i)
        measuredFrame(programs, clock, start + i * step, passMs);
    passMs.assign(PASS_COUNT, {});
    std::vector<double> frameMs;
    for (int i = 0; i < options.frames; ++i)
        frameMs.push_back(measuredFrame(programs, clock, stretch.from + i * step, passMs));

    StretchResult result;
    result.name = stretch.name;
    result.frames = options.frames;
    result.frame = summarize(frameMs);
    for (int pass = 0; pass < PASS_COUNT; ++pass) {
        result.passRan[pass] = !passMs[pass].empty();
        result.passes[pass] = summarize(passMs[pass]);
    }
    return result;
}

void printTable(const char* renderer, const StartupResult& startup,
                const std::vector<StretchResult>& results) {
    printf("renderer: %s\npasses timed with %s\n\nstart-up (ms)\n", renderer,
           passTimers.finish ? "glFinish around each" : "GL timer queries");
    for (int phase = 0; phase < PHASE_COUNT; ++phase)
        printf("  %-26s %8.1f\n", startupPhaseName(static_cast<StartupPhase>(phase)), startup.phaseMs[phase]);
    printf("  %-26s %8.1f\n  %-26s %8.1f\n\n", "first_frame", startup.firstFrameMs, "process_to_first_frame",
           startup.processToFirstFrameMs);
    printf("%-15s %-16s %9s %9s\n", "stretch", "pass", "median", "p95");
    for (const StretchResult& result : results) {
        printf("%-15s %-16s %9.1f %9.1f   (max/median %.2f)\n", result.name.c_str(), "frame",
               result.frame.median, result.frame.p95, result.frame.max / result.frame.median);
        for (int pass = 0; pass < PASS_COUNT; ++pass)
            if (result.passRan[pass])
                printf("%-15s %-16s %9.1f %9.1f\n", "", renderPassName(static_cast<RenderPass>(pass)),
                       result.passes[pass].median, result.passes[pass].p95);
    }
}

void writeSummary(FILE* file, const Summary& summary) {
    fprintf(file, "{\"median_ms\": %.3f, \"p95_ms\": %.3f, \"max_ms\": %.3f}", summary.median, summary.p95,
            summary.max);
}

bool writeJson(const std::string& path, const char* renderer, const StartupResult& startup,
               const std::vector<StretchResult>& results) {
    FILE* file = fopen(path.c_str(), "w");
    if (!file)
        return false;
    fprintf(file, "{\n  \"renderer\": \"%s\",\n  \"pass_clock\": \"%s\",\n  \"startup_ms\": {", renderer,
            passTimers.finish ? "finish" : "timer_query");
    for (int phase = 0; phase < PHASE_COUNT; ++phase)
        fprintf(file, "\"%s\": %.3f, ", startupPhaseName(static_cast<StartupPhase>(phase)),
                startup.phaseMs[phase]);
    fprintf(file, "\"first_frame\": %.3f, \"process_to_first_frame\": %.3f},\n  \"stretches\": {",
            startup.firstFrameMs, startup.processToFirstFrameMs);
    for (size_t i = 0; i < results.size(); ++i) {
        const StretchResult& result = results[i];
        fprintf(file, "%s\n    \"%s\": {\"frames\": %d, \"frame\": ", i ? "," : "", result.name.c_str(),
                result.frames);
        writeSummary(file, result.frame);
        fprintf(file, ", \"passes\": {");
        const char* separator = "";
        for (int pass = 0; pass < PASS_COUNT; ++pass) {
            if (!result.passRan[pass])
                continue;
            fprintf(file, "%s\"%s\": ", separator, renderPassName(static_cast<RenderPass>(pass)));
            writeSummary(file, result.passes[pass]);
            separator = ", ";
        }
        fprintf(file, "}}");
    }
    fprintf(file, "\n  }\n}\n");
    return fclose(file) == 0;
}

} // namespace

int main(int argc, char** argv) {
    double mainStart = probeSeconds();
    double beforeMain = secondsBeforeMain();
    Options options;
    if (!parseOptions(argc, argv, options)) {
        fprintf(
            stderr,
            "usage: benchmark [--frames N] [--warmup W] [--json FILE] [--only NAME,...] [--finish-passes]\n");
        return 2;
    }
    // Frames, not sound, are measured; an explicit choice of audio driver is respected.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ShaderPrograms programs;
    if (!startDemo(programs))
        return 1;
    StartupResult startup;
    for (int phase = 0; phase < PHASE_COUNT; ++phase)
        startup.phaseMs[phase] = 1e3 * theApp->startupSeconds[phase];
    double firstFrameStart = probeSeconds();
    frameAt(programs, 0.0);
    presentFrame();
    glFinish();
    startup.firstFrameMs = 1e3 * (probeSeconds() - firstFrameStart);
    startup.processToFirstFrameMs = 1e3 * (probeSeconds() - mainStart + beforeMain);

    passTimers.finish = options.finishPasses;
    glGenQueries(PASS_COUNT, passTimers.queries);
    theApp->passObserver = observePass;
    std::vector<StretchResult> results;
    double clock = 0.0;
    for (const Stretch& stretch : STRETCHES)
        if (options.only.empty() ||
            options.only.find("," + std::string(stretch.name) + ",") != std::string::npos)
            results.push_back(runStretch(programs, stretch, options, clock));
    theApp->passObserver = nullptr;
    glDeleteQueries(PASS_COUNT, passTimers.queries);

    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    printTable(renderer, startup, results);
    bool written = options.jsonPath.empty() || writeJson(options.jsonPath, renderer, startup, results);
    if (!written)
        fprintf(stderr, "could not write %s\n", options.jsonPath.c_str());
    shutdownDemo(programs);
    return written ? 0 : 1;
}
