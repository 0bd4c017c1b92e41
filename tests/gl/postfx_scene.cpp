#include "postfx_scene.h"

#include "app/demo_app.h"
#include "render/bloom.h"
#include "render/depth_of_field.h"
#include "render/screen_quad.h"
#include "render/shader_loader.h"
#include "render/uniforms.h"

#include <glm/gtc/matrix_transform.hpp>

#include <cmath>
#include <string>

namespace {

const char* VERTEX_SOURCE = R"(#version 330 core
layout(location = 0) in vec3 position;
uniform mat4 MVP;
void main() { gl_Position = MVP * vec4(position, 1.0); }
)";

const char* FRAGMENT_SOURCE = R"(#version 330 core
uniform vec3 rect_color;
uniform int checkered;
layout(location = 0) out vec4 color;
void main() {
    ivec2 cell = ivec2(gl_FragCoord.xy) / 2;
    bool dark = checkered != 0 && (cell.x + cell.y) % 2 == 1;
    color = vec4(dark ? vec3(0.0) : rect_color, 1.0);
}
)";

const float FIELD_OF_VIEW = 45.0f;
const float ASPECT = 4.0f / 3.0f;

GLuint compileStage(GLenum type, const char* source) {
    GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    return shader;
}

Program buildColorProgram() {
    Program program = Program::generate();
    glAttachShader(program, compileStage(GL_VERTEX_SHADER, VERTEX_SOURCE));
    glAttachShader(program, compileStage(GL_FRAGMENT_SHADER, FRAGMENT_SOURCE));
    glLinkProgram(program);
    return program;
}

// The rectangle's corners in eye space, counter-clockwise seen from the camera, as two triangles.
std::vector<glm::vec3> rectTriangles(const TestRect& rect) {
    const float halfHeight = rect.distance * std::tan(glm::radians(FIELD_OF_VIEW) / 2.0f);
    auto corner = [&](float x, float y) {
        return glm::vec3(x * halfHeight * ASPECT, y * halfHeight, -rect.distance);
    };
    const glm::vec3 a = corner(rect.lowerLeft.x, rect.lowerLeft.y);
    const glm::vec3 b = corner(rect.upperRight.x, rect.lowerLeft.y);
    const glm::vec3 c = corner(rect.upperRight.x, rect.upperRight.y);
    const glm::vec3 d = corner(rect.lowerLeft.x, rect.upperRight.y);
    return {a, b, c, a, c, d};
}

Mesh buildMesh(const TestRect& rect) {
    const std::vector<glm::vec3> vertices = rectTriangles(rect);
    Mesh mesh;
    mesh.primitiveTypes = 4;
    mesh.vertexCount = static_cast<unsigned>(vertices.size());
    mesh.vao = VertexArray::generate();
    glBindVertexArray(mesh.vao);
    mesh.buffers.push_back(uploadAttribute(0, 3, &vertices[0].x, vertices.size()));
    return mesh;
}

} // namespace

PostFxScene::PostFxScene() {
    programs.dofDepthProgram = compileProgram("shader/Dof_depth.vert", "shader/Dof_depth.frag");
    programs.dofProgram = compileProgram("shader/Dof.vert", "shader/Dof.frag");
    programs.quadProgram = compileProgram("shader/TextureQuad.vert", "shader/TextureQuad.frag");
    programs.bloomProgram = compileProgram("shader/Bloom.vert", "shader/Bloom.frag");
    initDepthOfField(programs.dofDepthProgram, programs.dofProgram);
    initBloom(programs.bloomProgram);
    initScreenQuad(programs.quadProgram);
    colorProgram = buildColorProgram();
    Camera& camera = *theApp->camera;
    camera.position = glm::vec3(0.0f);
    camera.viewMatrix = glm::mat4(1.0f);
    camera.projectionMatrix =
        glm::perspective(glm::radians(FIELD_OF_VIEW), ASPECT, camera.nearPlane, camera.farPlane);
    theApp->scenes.emplace_back();
    theApp->scenes.back().materials.emplace_back();
}

void PostFxScene::add(const TestRect& rect) {
    theApp->scenes.back().opaqueMeshes.push_back(buildMesh(rect));
    rects.push_back(rect);
}

void PostFxScene::draw() {
    const Camera& camera = *theApp->camera;
    const glm::mat4 viewProjection = camera.projectionMatrix * camera.viewMatrix;
    glUseProgram(colorProgram);
    glUniformMatrix4fv(uniformLocation(colorProgram, "MVP"), 1, GL_FALSE, &viewProjection[0][0]);
    glViewport(0, 0, theApp->settings->width, theApp->settings->height);
    const GLuint framebuffers[] = {theApp->windowFramebuffer(), theApp->sceneTarget.sceneFramebuffer};
    for (GLuint framebuffer : framebuffers) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const Scene& scene = theApp->scenes.back();
        for (size_t i = 0; i < rects.size(); ++i) {
            glUniform3fv(uniformLocation(colorProgram, "rect_color"), 1, &rects[i].color[0]);
            glUniform1i(uniformLocation(colorProgram, "checkered"), rects[i].checkered);
            glBindVertexArray(scene.opaqueMeshes[i].vao);
            glDrawArrays(GL_TRIANGLES, 0, scene.opaqueMeshes[i].vertexCount);
        }
    }
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());
}
