// Measures the demo: its real start-up, phase by phase, then stretches of the flight and of walk mode on a
// controlled clock, timing every render pass with GL timer queries and the whole frame with glFinish; or
// compares two of its reports. It renders without a window unless asked for one; `benchmark --help` lists
// the options.
#include "app/build_info.h"
#include "app/command_line.h"
#include "app/demo_app.h"
#include "app/demo_loop.h"
#include "app/probes.h"
#include "frame_driver.h"
#include "render/shader_loader.h"
#include "report.h"
#include "tool_start.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct Options {
    int frames = 12;
    int warmup = 3;
    std::string jsonPath, csvPath;
    std::vector<std::string> only;
    bool finishPasses = false;
    std::vector<std::string> compare;
    bool window = false;
    ToolStartOptions start;
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

void addOptions(CLI::App& app, Options& options) {
    std::vector<std::string> names;
    for (const Stretch& stretch : STRETCHES)
        names.push_back(stretch.name);
    std::vector<CLI::Option*> run = {
        addNumber(app, "--frames", options.frames, "measured frames per stretch (default 12)",
                  Interval::atLeast(1)),
        addNumber(app, "--warmup", options.warmup,
                  "frames rendered before each stretch's measured ones and left out (default 3; the driver "
                  "compiles shaders and fills caches on first use)",
                  Interval::atLeast(0)),
        app.add_option("--json", options.jsonPath, "also writes the report to FILE")->type_name("FILE"),
        app.add_option("--csv", options.csvPath,
                       "also writes every measured frame's time and its passes' times to FILE, a row each")
            ->type_name("FILE"),
        app.add_option("--only", options.only, "runs only the named stretches")
            ->delimiter(',')
            ->check(CLI::IsMember(names)),
        app.add_flag(
            "--finish-passes", options.finishPasses,
            "times each pass on the wall clock between glFinish calls instead of with timer queries: a "
            "deferred renderer such as llvmpipe may rasterise a pass's triangles inside a later pass's "
            "query"),
        app.add_flag("--window", options.window,
                     "renders in a GLFW window on the display instead of headless through EGL (without a "
                     "display it stays headless)")};
    addToolStartOptions(app, options.start);
    app.get_option("--window")->excludes("--headless");
    CLI::Option* compare =
        app.add_option(
               "--compare", options.compare,
               "A.json B.json: prints B's times over A's, per start-up phase, stretch and pass; runs nothing")
            ->expected(2)
            ->check(CLI::ExistingFile);
    for (CLI::Option* option : run)
        compare->excludes(option);
}

// One timer query per pass, begun and ended by the demo's pass scopes; or, finishing around each pass,
// the wall time of each.
struct PassTimers {
    bool finish = false;
    Query queries[PASS_COUNT];
    bool ran[PASS_COUNT] = {};
    double beganAt = 0.0;
    double wallMs[PASS_COUNT] = {};

    void observe(RenderPass pass, bool begins) {
        if (finish) {
            glFinish();
            if (begins)
                beganAt = probeSeconds();
            else
                wallMs[pass] = 1e3 * (probeSeconds() - beganAt);
        } else if (begins) {
            glBeginQuery(GL_TIME_ELAPSED, queries[pass]);
        } else {
            glEndQuery(GL_TIME_ELAPSED);
        }
        if (!begins)
            ran[pass] = true;
    }

    double milliseconds(int pass) const {
        if (finish)
            return wallMs[pass];
        GLuint64 nanoseconds = 0;
        glGetQueryObjectui64v(queries[pass], GL_QUERY_RESULT, &nanoseconds);
        return 1e-6 * static_cast<double>(nanoseconds);
    }
};

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

std::string cpuModel() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line))
        if (line.compare(0, 10, "model name") == 0 && line.find(':') != std::string::npos)
            return line.substr(line.find_first_not_of(" \t", line.find(':') + 1));
    return "unknown";
}

// Now, in ISO 8601, UTC.
std::string utcDate() {
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

// The settings that change what Mesa runs or how: its driver choice, llvmpipe's threads, every MESA_*.
std::vector<std::pair<std::string, std::string>> driverEnvironment() {
    std::vector<std::pair<std::string, std::string>> settings;
    for (char** entry = environ; *entry; ++entry) {
        std::string setting = *entry;
        size_t equals = setting.find('=');
        std::string name = setting.substr(0, equals);
        if (equals != std::string::npos &&
            (name == "LP_NUM_THREADS" || name == "GALLIUM_DRIVER" || name.compare(0, 5, "MESA_") == 0))
            settings.emplace_back(name, setting.substr(equals + 1));
    }
    std::sort(settings.begin(), settings.end());
    return settings;
}

std::string glString(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text ? reinterpret_cast<const char*>(text) : "unknown";
}

// Renders, presents and finishes one frame; its wall time in ms, and the time of each pass that ran into
// `passMs`, indexed by pass.
double timedFrame(const ShaderPrograms& programs, PassTimers& timers, double time,
                  std::vector<std::optional<double>>& passMs) {
    std::fill(std::begin(timers.ran), std::end(timers.ran), false);
    double start = probeSeconds();
    frameAt(programs, time);
    presentFrame();
    glFinish();
    double frameMs = 1e3 * (probeSeconds() - start);
    passMs.assign(PASS_COUNT, std::nullopt);
    for (int pass = 0; pass < PASS_COUNT; ++pass)
        if (timers.ran[pass])
            passMs[pass] = timers.milliseconds(pass);
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

// The demo's run through the stretches: its clock, and the pass timers its frames report to.
struct Run {
    const ShaderPrograms& programs;
    PassTimers& timers;
    const Options& options;
    double clock = 0.0;

    // The paths are brought up to each frame's time in short steps, so that frames far apart still show
    // their own moments.
    double measuredFrame(double time, std::vector<std::optional<double>>& passMs) {
        followPaths(clock, time, PATH_STEP);
        clock = time;
        return timedFrame(programs, timers, time, passMs);
    }

    // Warm-up frames lead up to the stretch at the same pace as its measured frames.
    StretchReport stretch(const Stretch& stretch) {
        double step = (stretch.to - stretch.from) / options.frames;
        double start = std::max(clock, stretch.from - step * options.warmup);
        followPaths(clock, start, PATH_STEP);
        clock = start;
        setUpStretch(stretch);
        std::vector<std::optional<double>> passMs;
        for (int i = 0; i < options.warmup; ++i)
            measuredFrame(start + i * step, passMs);
        StretchReport report;
        report.name = stretch.name;
        for (int i = 0; i < options.frames; ++i) {
            report.frameMs.push_back(measuredFrame(stretch.from + i * step, passMs));
            report.framePassMs.push_back(passMs);
        }
        report.frame = summarize(report.frameMs);
        for (int pass = 0; pass < PASS_COUNT; ++pass) {
            std::vector<double> times;
            for (const std::vector<std::optional<double>>& frame : report.framePassMs)
                if (frame[pass])
                    times.push_back(*frame[pass]);
            if (!times.empty())
                report.passes.push_back({renderPassName(static_cast<RenderPass>(pass)), summarize(times)});
        }
        return report;
    }
};

bool selected(const Options& options, const Stretch& stretch) {
    return options.only.empty() ||
           std::find(options.only.begin(), options.only.end(), stretch.name) != options.only.end();
}

// True when `path` is not asked for or was written; otherwise false, after saying so.
bool writeIfAsked(const std::string& path, bool (*write)(const Report&, const std::string&),
                  const Report& report) {
    if (path.empty() || write(report, path))
        return true;
    fprintf(stderr, "could not write %s\n", path.c_str());
    return false;
}

int compareReports(const std::vector<std::string>& paths) {
    std::vector<Report> reports;
    for (const std::string& path : paths) {
        try {
            reports.push_back(readReport(path));
        } catch (const std::runtime_error& error) {
            fprintf(stderr, "%s %s\n", path.c_str(), error.what());
            return 2;
        }
    }
    printComparison(reports[0], paths[0], reports[1], paths[1]);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    double mainStart = probeSeconds();
    double beforeMain = secondsBeforeMain();
    Options options;
    CLI::App app("Measures the demo's start-up, frames and passes.");
    nameProgram(app, "tellmarin-benchmark");
    addOptions(app, options);
    if (std::optional<int> exitCode = parseCommandLine(app, argc, argv))
        return *exitCode;
    if (!options.compare.empty())
        return compareReports(options.compare);
    // Frames, not sound, are measured; an explicit choice of audio driver is respected.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    if (!options.jsonPath.empty())
        options.jsonPath = std::filesystem::absolute(options.jsonPath).string();
    // Headless by default: a window's swap would tie the frame times to the display.
    options.start.headless = options.start.headless || !options.window;
    StartOptions start;
    ShaderPrograms programs;
    if (!startTool(options.start, start, programs))
        return 1;
    Report report;
    report.date = utcDate();
    // A swap synchronised to the display would hold every frame to its refresh. Headless, nothing swaps.
    if (!start.headless)
        glfwSwapInterval(report.swapInterval);
    for (int phase = 0; phase < PHASE_COUNT; ++phase)
        report.startupMs.emplace_back(startupPhaseName(static_cast<StartupPhase>(phase)),
                                      1e3 * theApp->startupSeconds[phase]);
    // The demo's first frame does not wait for the top levels, so neither does this one; the frames
    // measured after it sample every level.
    double firstFrameStart = probeSeconds();
    frameAt(programs, 0.0);
    presentFrame();
    glFinish();
    report.startupMs.emplace_back("first_frame", 1e3 * (probeSeconds() - firstFrameStart));
    report.startupMs.emplace_back("process_to_first_frame", 1e3 * (probeSeconds() - mainStart + beforeMain));
    uploadHeldTopLevels(*theApp);

    {
        PassTimers timers;
        timers.finish = options.finishPasses;
        for (Query& query : timers.queries)
            query = Query::generate();
        theApp->passObserver = [&timers](RenderPass pass, bool begins) { timers.observe(pass, begins); };
        Run run{programs, timers, options};
        for (const Stretch& stretch : STRETCHES)
            if (selected(options, stretch))
                report.stretches.push_back(run.stretch(stretch));
        theApp->passObserver = nullptr;
        report.passClock = timers.finish ? "finish" : "timer_query";
    }

    report.commit = BUILD_COMMIT;
    report.buildType = BUILD_TYPE;
    report.width = theApp->settings->width;
    report.height = theApp->settings->height;
    report.environment = driverEnvironment();
    report.dataFolder = std::filesystem::current_path().string();
    report.shaderFiles = shaderFilesRead();
    for (int pass = 0; pass < PASS_COUNT; ++pass)
        report.passNames.push_back(renderPassName(static_cast<RenderPass>(pass)));
    report.renderer = glString(GL_RENDERER);
    report.glVersion = glString(GL_VERSION);
    report.context =
        contextKindName(theApp->headlessContext ? theApp->headlessContext->kind : ContextKind::GLX);
    report.cpuModel = cpuModel();
    report.cpuCores = static_cast<int>(std::thread::hardware_concurrency());
    printReport(report);
    // Both are attempted, whichever fails.
    bool jsonWritten = writeIfAsked(options.jsonPath, writeReport, report);
    bool csvWritten = writeIfAsked(options.csvPath, writeFrameTable, report);
    shutdownDemo(programs);
    return jsonWritten && csvWritten ? 0 : 1;
}
