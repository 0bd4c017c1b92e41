#include "report.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace {

using Json = nlohmann::ordered_json;

// Raised when a field changes its meaning or goes; new optional fields leave it.
constexpr int SCHEMA_VERSION = 2;

// Microseconds are below the noise of any frame time.
double roundedMs(double ms) {
    return std::round(ms * 1e3) / 1e3;
}

Json summaryJson(const Summary& summary) {
    return {{"median_ms", roundedMs(summary.median)},
            {"p95_ms", roundedMs(summary.p95)},
            {"max_ms", roundedMs(summary.max)}};
}

Summary summaryFrom(const Json& json) {
    return {json.at("median_ms").get<double>(), json.at("p95_ms").get<double>(),
            json.at("max_ms").get<double>()};
}

Json stretchJson(const StretchReport& stretch) {
    Json passes = Json::object();
    for (const NamedSummary& pass : stretch.passes)
        passes[pass.name] = summaryJson(pass.summary);
    Json frameMs = Json::array();
    for (double ms : stretch.frameMs)
        frameMs.push_back(roundedMs(ms));
    return {{"frames", stretch.frameMs.size()},
            {"frame", summaryJson(stretch.frame)},
            {"frames_ms", frameMs},
            {"passes", passes}};
}

StretchReport stretchFrom(const std::string& name, const Json& json) {
    StretchReport stretch;
    stretch.name = name;
    stretch.frameMs = json.value("frames_ms", std::vector<double>());
    stretch.frame = summaryFrom(json.at("frame"));
    for (const auto& [pass, summary] : json.at("passes").items())
        stretch.passes.push_back({pass, summaryFrom(summary)});
    return stretch;
}

void printRun(const char* label, const std::string& path, const Report& report) {
    printf("%s: %s\n   commit %s\n   %s, OpenGL %s; %s, %d cores; passes timed with %s\n", label,
           path.c_str(), report.commit.c_str(), report.renderer.c_str(), report.glVersion.c_str(),
           report.cpuModel.c_str(), report.cpuCores, report.passClock.c_str());
}

// The stretch or pass of that name, or null.
template <typename T> const T* findNamed(const std::vector<T>& items, const std::string& name) {
    for (const T& item : items)
        if (item.name == name)
            return &item;
    return nullptr;
}

// Every name of `a`'s items, then those only `b` has.
template <typename T> std::vector<std::string> unitedNames(const std::vector<T>& a, const std::vector<T>& b) {
    std::vector<std::string> names;
    for (const std::vector<T>* items : {&a, &b})
        for (const T& item : *items)
            if (std::find(names.begin(), names.end(), item.name) == names.end())
                names.push_back(item.name);
    return names;
}

void printMs(const Summary* summary) {
    if (summary)
        printf(" %9.1f", summary->median);
    else
        printf(" %9s", "-");
}

void printRatio(double a, double b) {
    if (a > 0.0)
        printf(" %9.2f", b / a);
    else
        printf(" %9s", "-");
}

// One row: both medians, then B/A of the medians and of the 95th percentiles, or which side alone has it.
void printComparedRow(const std::string& stretch, const std::string& pass, const Summary* a,
                      const Summary* b) {
    printf("%-15s %-16s", stretch.c_str(), pass.c_str());
    printMs(a);
    printMs(b);
    if (a && b) {
        printRatio(a->median, b->median);
        printRatio(a->p95, b->p95);
    } else {
        printf("   only in %s", a ? "A" : "B");
    }
    printf("\n");
}

void printComparedStretch(const StretchReport* a, const StretchReport* b, const std::string& name) {
    printComparedRow(name, "frame", a ? &a->frame : nullptr, b ? &b->frame : nullptr);
    if (!a || !b)
        return;
    for (const std::string& pass : unitedNames(a->passes, b->passes)) {
        const NamedSummary* passA = findNamed(a->passes, pass);
        const NamedSummary* passB = findNamed(b->passes, pass);
        printComparedRow("", pass, passA ? &passA->summary : nullptr, passB ? &passB->summary : nullptr);
    }
}

void printComparedStartup(const Report& a, const Report& b) {
    printf("%-32s %9s %9s %9s\n", "start-up (ms)", "A", "B", "B/A");
    for (const auto& [phase, msA] : a.startupMs)
        for (const auto& [phaseB, msB] : b.startupMs)
            if (phase == phaseB) {
                printf("  %-30s %9.1f %9.1f", phase.c_str(), msA, msB);
                printRatio(msA, msB);
                printf("\n");
            }
}

} // namespace

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

void printReport(const Report& report) {
    printf(
        "commit: %s (%s build)\nrenderer: %s (%s)\nGL version: %s\nCPU: %s, %d cores\npasses timed with %s\n",
        report.commit.c_str(), report.buildType.c_str(), report.renderer.c_str(), report.context.c_str(),
        report.glVersion.c_str(), report.cpuModel.c_str(), report.cpuCores,
        report.passClock == "finish" ? "glFinish around each" : "GL timer queries");
    printf("picture: %dx%d, swap interval %d\n", report.width, report.height, report.swapInterval);
    for (const auto& [name, value] : report.environment)
        printf("%s=%s\n", name.c_str(), value.c_str());
    printf("data folder: %s\nshader files:\n", report.dataFolder.c_str());
    for (const std::string& file : report.shaderFiles)
        printf("  %s\n", file.c_str());
    printf("\n");
    printf("start-up (ms)\n");
    for (const auto& [phase, ms] : report.startupMs)
        printf("  %-26s %8.1f\n", phase.c_str(), ms);
    printf("\n%-15s %-16s %9s %9s\n", "stretch", "pass", "median", "p95");
    for (const StretchReport& stretch : report.stretches) {
        printf("%-15s %-16s %9.1f %9.1f   (max/median %.2f)\n", stretch.name.c_str(), "frame",
               stretch.frame.median, stretch.frame.p95, stretch.frame.max / stretch.frame.median);
        for (const NamedSummary& pass : stretch.passes)
            printf("%-15s %-16s %9.1f %9.1f\n", "", pass.name.c_str(), pass.summary.median, pass.summary.p95);
    }
}

bool writeReport(const Report& report, const std::string& path) {
    Json startup = Json::object();
    for (const auto& [phase, ms] : report.startupMs)
        startup[phase] = roundedMs(ms);
    Json stretches = Json::object();
    for (const StretchReport& stretch : report.stretches)
        stretches[stretch.name] = stretchJson(stretch);
    Json environment = Json::object();
    for (const auto& [name, value] : report.environment)
        environment[name] = value;
    Json json = {{"schema_version", SCHEMA_VERSION},
                 {"date", report.date},
                 {"commit", report.commit},
                 {"build_type", report.buildType},
                 {"renderer", report.renderer},
                 {"context", report.context},
                 {"gl_version", report.glVersion},
                 {"cpu_model", report.cpuModel},
                 {"cpu_cores", report.cpuCores},
                 {"resolution", {{"width", report.width}, {"height", report.height}}},
                 {"swap_interval", report.swapInterval},
                 {"environment", environment},
                 {"data_folder", report.dataFolder},
                 {"shader_files", report.shaderFiles},
                 {"pass_clock", report.passClock},
                 {"startup_ms", startup},
                 {"stretches", stretches}};
    std::ofstream file(path);
    file << json.dump(2) << "\n";
    file.close();
    return !file.fail();
}

bool writeFrameTable(const Report& report, const std::string& path) {
    std::ofstream file(path);
    // Enough digits for the microseconds of any frame time, and no more.
    file.precision(12);
    file << "stretch,frame,frame_ms";
    for (const std::string& pass : report.passNames)
        file << "," << pass << "_ms";
    file << "\n";
    for (const StretchReport& stretch : report.stretches)
        for (size_t frame = 0; frame < stretch.frameMs.size(); ++frame) {
            file << stretch.name << "," << frame << "," << roundedMs(stretch.frameMs[frame]);
            for (const std::optional<double>& ms : stretch.framePassMs[frame]) {
                file << ",";
                if (ms)
                    file << roundedMs(*ms);
            }
            file << "\n";
        }
    file.close();
    return !file.fail();
}

// Reports written before the build and machine were recorded still compare: those fields are optional.
Report readReport(const std::string& path) {
    std::ifstream file(path);
    if (!file)
        throw std::runtime_error("cannot be read");
    try {
        Json json = Json::parse(file);
        Report report;
        report.commit = json.value("commit", "unknown");
        report.renderer = json.at("renderer").get<std::string>();
        report.glVersion = json.value("gl_version", "unknown");
        report.context = json.value("context", "unknown");
        report.cpuModel = json.value("cpu_model", "unknown");
        report.cpuCores = json.value("cpu_cores", 0);
        report.passClock = json.at("pass_clock").get<std::string>();
        for (const auto& [phase, ms] : json.at("startup_ms").items())
            report.startupMs.emplace_back(phase, ms.get<double>());
        for (const auto& [name, stretch] : json.at("stretches").items())
            report.stretches.push_back(stretchFrom(name, stretch));
        return report;
    } catch (const nlohmann::json::exception& error) {
        throw std::runtime_error(std::string("is not a benchmark report: ") + error.what());
    }
}

void printComparison(const Report& a, const std::string& pathA, const Report& b, const std::string& pathB) {
    printRun("A", pathA, a);
    printRun("B", pathB, b);
    printf("B/A: B's milliseconds divided by A's; below 1.00 B is faster.\n");
    if (a.passClock != b.passClock)
        printf("The passes were timed differently: their ratios do not compare.\n");
    printf("\n");
    printComparedStartup(a, b);
    printf("\n%-15s %-16s %9s %9s %9s %9s\n", "stretch", "pass", "A median", "B median", "B/A med",
           "B/A p95");
    for (const std::string& name : unitedNames(a.stretches, b.stretches))
        printComparedStretch(findNamed(a.stretches, name), findNamed(b.stretches, name), name);
}
