// Builds GL programs from GLSL files, printing each stage's compile log and the link log.
#pragma once

#include "render/gl_objects.h"

#include <string>
#include <vector>

// The file's text, each line preceded by a line feed; empty when the file cannot be opened.
std::string readShaderSource(const char* path);

// The absolute path of every shader file opened so far, each once, in the order first opened: what a
// measurement ran with, also when the working directory belongs to another build.
std::vector<std::string> shaderFilesRead();

// `source`, as readShaderSource gives it, with the constants of shader_constants.h defined right after its
// #version line, and a #line directive after them so that compile logs give the file's own line numbers.
// Unchanged without a #version line.
std::string withSharedConstants(const std::string& source);

// A program of the two stages in those files, each given the shared constants.
Program compileProgram(const char* vertexPath, const char* fragmentPath);

// As `compileProgram`, without the console's lines: only a failed stage's or link's log, on standard error.
Program compileQuietProgram(const char* vertexPath, const char* fragmentPath);

// The three-stage shadow program from "shader/SMDepthPass.{vert,geo,frag}".
Program compileShadowProgram();
