// Builds GL programs from GLSL files, printing each stage's compile log and the link log.
#pragma once

#include "render/gl_objects.h"

#include <string>

// The file's text, each line preceded by a line feed; empty when the file cannot be opened.
std::string readShaderSource(const char* path);

Program compileProgram(const char* vertexPath, const char* fragmentPath);

// As `compileProgram`, without the console's lines: only a failed stage's or link's log, on standard error.
Program compileQuietProgram(const char* vertexPath, const char* fragmentPath);

// The three-stage shadow program from "shader/SMDepthPass.{vert,geo,frag}".
Program compileShadowProgram();
