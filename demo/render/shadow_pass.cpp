#include "render/shadow_pass.h"

#include "app/demo_app.h"
#include "render/mesh_draw.h"
#include "render/render_targets.h"
#include "render/shader_constants.h"
#include "render/uniforms.h"

#include <glm/gtc/type_ptr.hpp>

namespace {

void createShadowCubeMap(int width, int height) {
    ShadowPass& pass = theApp->shadowPass;
    pass.shadowCubeMap = Texture::generate();
    glBindTexture(GL_TEXTURE_CUBE_MAP, pass.shadowCubeMap);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    for (int face = 0; face < CUBE_FACE_COUNT; ++face)
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_DEPTH_COMPONENT24, width, height, 0,
                     GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, nullptr);
}

void createShadowFramebuffer() {
    ShadowPass& pass = theApp->shadowPass;
    pass.shadowFramebuffer = bindNewFramebuffer();
    glFramebufferTexture(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, pass.shadowCubeMap, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    reportIncompleteFramebuffer("ERROR: Framebuffer is not complete.\n");
}

void uploadLight() {
    const ShadowUniforms& u = theApp->shadowPass.uniforms;
    MovingLight& light = *theApp->light;
    const auto& faces = light.updateShadowMatrices();
    glUniformMatrix4fv(u.pvMatrix, CUBE_FACE_COUNT, GL_FALSE, glm::value_ptr(faces[0]));
    glUniform3fv(u.lightPos, 1, glm::value_ptr(light.position));
    glUniform2f(u.nearFar, light.nearPlane, light.farPlane);
}

} // namespace

void initShadowMapping(GLuint program) {
    glBindTexture(GL_TEXTURE_2D, 0);
    createShadowCubeMap(theApp->light->shadowMapWidth, theApp->light->shadowMapHeight);
    createShadowFramebuffer();
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());
    ShadowUniforms& u = theApp->shadowPass.uniforms;
    lookUpUniforms(program, {{&u.modelMatrix, "MODEL_matrix"},
                             {&u.pvMatrix, "PV_matrix"},
                             {&u.lightPos, "light_POS_WS"},
                             {&u.nearFar, "near_far"}});
}

void drawShadowMap() {
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->shadowPass.shadowFramebuffer);
    glViewport(0, 0, theApp->light->shadowMapWidth, theApp->light->shadowMapHeight);
    glClear(GL_DEPTH_BUFFER_BIT);
    uploadLight();
    forEachSolidMesh(theApp->scenes, [](const Mesh& mesh, const Material& material) {
        // The geometry stage takes triangles; points and lines would cast no visible shadow anyway.
        if (primitiveMode(mesh.primitiveTypes) != GL_TRIANGLES)
            return;
        glBindVertexArray(mesh.vao);
        glUniformMatrix4fv(theApp->shadowPass.uniforms.modelMatrix, 1, GL_FALSE,
                           glm::value_ptr(mesh.modelMatrix));
        drawMesh(mesh, material);
    });
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());
}
