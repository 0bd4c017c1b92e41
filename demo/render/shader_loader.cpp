#include "render/shader_loader.h"

#include "render/shader_constants.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

std::vector<std::string>& openedFiles() {
    static std::vector<std::string> files;
    return files;
}

void noteOpened(const char* path) {
    std::error_code error;
    std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
    std::vector<std::string>& files = openedFiles();
    if (!error && std::find(files.begin(), files.end(), absolute) == files.end())
        files.push_back(absolute);
}

struct Stage {
    GLenum type;
    const char* path;
};

#define DEFINE_LINE(name, type, value) "#define " #name " " #value "\n"
const char* const SHARED_DEFINES = SHARED_SHADER_CONSTANTS(DEFINE_LINE);
#undef DEFINE_LINE

using GetParameter = PFNGLGETSHADERIVPROC;
using GetInfoLog = PFNGLGETSHADERINFOLOGPROC;

// Compile and link status are left to the printed log: the caller gets its object in any case.
// Quiet, only a failure's log is shown, on standard error.
void printInfoLog(GLuint object, GLenum statusName, GetParameter getParameter, GetInfoLog getInfoLog,
                  bool quiet) {
    GLint status = 0, length = 0;
    getParameter(object, statusName, &status);
    getParameter(object, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(length > 1 ? length : 1, '\0');
    getInfoLog(object, length, nullptr, log.data());
    if (!quiet)
        printf("%s\n", log.data());
    else if (status != GL_TRUE)
        fprintf(stderr, "%s\n", log.data());
}

void compileStage(GLuint shader, const std::string& source, const char* path, bool quiet) {
    if (!quiet)
        printf("Compiling shader : %s\n", path);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    printInfoLog(shader, GL_COMPILE_STATUS, glGetShaderiv, glGetShaderInfoLog, quiet);
}

// Creates every stage, reads every file, then compiles them in the given order; attaches in `attachOrder`.
Program buildProgram(const std::vector<Stage>& stages, const std::vector<size_t>& attachOrder,
                     bool quiet = false) {
    // Deleted on return while still attached, so GL frees them together with the program.
    std::vector<Shader> shaders;
    for (const Stage& stage : stages)
        shaders.emplace_back(glCreateShader(stage.type));
    std::vector<std::string> sources;
    for (const Stage& stage : stages)
        sources.push_back(withSharedConstants(readShaderSource(stage.path)));
    for (size_t i = 0; i < stages.size(); ++i)
        compileStage(shaders[i], sources[i], stages[i].path, quiet);

    if (!quiet)
        printf("Linking program\n");
    Program program = Program::generate();
    for (size_t i : attachOrder)
        glAttachShader(program, shaders[i]);
    glLinkProgram(program);
    printInfoLog(program, GL_LINK_STATUS, glGetProgramiv, glGetProgramInfoLog, quiet);
    return program;
}

} // namespace

std::string readShaderSource(const char* path) {
    std::string source;
    std::ifstream file(path);
    if (!file.is_open())
        return source;
    noteOpened(path);
    std::string line;
    while (std::getline(file, line))
        source += "\n" + line;
    return source;
}

std::vector<std::string> shaderFilesRead() {
    return openedFiles();
}

std::string withSharedConstants(const std::string& source) {
    size_t version = source.find("#version");
    while (version != std::string::npos && version > 0 && source[version - 1] != '\n')
        version = source.find("#version", version + 1);
    if (version == std::string::npos)
        return source;
    const size_t lineEnd = std::min(source.find('\n', version), source.size());
    // Each line of the file follows a line feed: the line after #version is the file's line number
    // (line feeds up to #version) + 1.
    const long nextLine = std::count(source.begin(), source.begin() + version, '\n') + 1;
    return source.substr(0, lineEnd) + "\n" + SHARED_DEFINES + "#line " + std::to_string(nextLine) +
           source.substr(lineEnd);
}

Program compileProgram(const char* vertexPath, const char* fragmentPath) {
    return buildProgram({{GL_VERTEX_SHADER, vertexPath}, {GL_FRAGMENT_SHADER, fragmentPath}}, {0, 1});
}

Program compileQuietProgram(const char* vertexPath, const char* fragmentPath) {
    return buildProgram({{GL_VERTEX_SHADER, vertexPath}, {GL_FRAGMENT_SHADER, fragmentPath}}, {0, 1}, true);
}

Program compileShadowProgram() {
    return buildProgram({{GL_VERTEX_SHADER, "shader/SMDepthPass.vert"},
                         {GL_FRAGMENT_SHADER, "shader/SMDepthPass.frag"},
                         {GL_GEOMETRY_SHADER, "shader/SMDepthPass.geo"}},
                        {0, 2, 1});
}
