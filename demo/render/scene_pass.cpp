#include "render/scene_pass.h"

#include "app/demo_app.h"
#include "render/depth_of_field.h"
#include "render/mesh_draw.h"
#include "render/skybox.h"
#include "render/uniforms.h"

#include <glm/gtc/type_ptr.hpp>

namespace {

void uploadMatrix(int location, const glm::mat4& matrix) {
    glUniformMatrix4fv(location, 1, GL_FALSE, glm::value_ptr(matrix));
}

void selectTarget(GLuint framebuffer, GLbitfield clear) {
    glViewport(0, 0, theApp->sceneScale.width, theApp->sceneScale.height);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glClear(clear);
}

// The values that hold for every mesh of a Scene, the transparent phase included.
void uploadSceneConstants() {
    const SceneUniforms& u = theApp->scenePass.uniforms;
    glUniform1f(u.isNormal, 0.0f);
    glUniform1f(u.isTrans, 0.0f);
    uploadMatrix(u.projMatrix, theApp->camera->projectionMatrix);
    uploadMatrix(u.viewMatrix, theApp->camera->viewMatrix);
    glUniform2f(u.nearFar, theApp->light->nearPlane, theApp->light->farPlane);
    glUniform1i(u.smOn, theApp->shadowMappingOn);
    bindSamplerTexture(GL_TEXTURE_CUBE_MAP, SCENE_SHADOW_UNIT, theApp->shadowPass.shadowCubeMap, u.shadowMap);
}

void uploadMatrices(const Mesh& mesh) {
    const SceneUniforms& u = theApp->scenePass.uniforms;
    const Camera& camera = *theApp->camera;
    const glm::mat4 mvMatrix = camera.viewMatrix * mesh.modelMatrix;
    const glm::mat3 normalMatrix = glm::transpose(glm::mat3(glm::inverse(mvMatrix)));
    uploadMatrix(u.mvp, camera.projectionMatrix * camera.viewMatrix * mesh.modelMatrix);
    uploadMatrix(u.mvMatrix, mvMatrix);
    uploadMatrix(u.modelMatrix, mesh.modelMatrix);
    glUniformMatrix3fv(u.normMatrix, 1, GL_FALSE, glm::value_ptr(normalMatrix));
}

void uploadLightAndMaterial(const Material& material) {
    const SceneUniforms& u = theApp->scenePass.uniforms;
    const MovingLight& light = *theApp->light;
    glUniform3fv(u.lightPos, 1, glm::value_ptr(light.position));
    glUniform3fv(u.lightKd, 1, glm::value_ptr(light.diffuse));
    glUniform3fv(u.lightKa, 1, glm::value_ptr(light.ambient));
    glUniform3fv(u.lightKs, 1, glm::value_ptr(light.specular));
    glUniform4fv(u.materialKd, 1, glm::value_ptr(material.diffuse));
    glUniform4fv(u.materialKa, 1, glm::value_ptr(material.ambient));
    glUniform4fv(u.materialKs, 1, glm::value_ptr(material.specular));
    glUniform1f(u.materialA, material.shininess);
    glUniform1f(u.materialO, material.opacity);
}

// Without a diffuse map, its unit keeps whatever it had; "has_tex" tells the shader not to sample it.
void bindDiffuseTexture(const Material& material) {
    const SceneUniforms& u = theApp->scenePass.uniforms;
    if (material.diffuseTexture == NO_TEXTURE) {
        glUniform1f(u.hasTex, 0.0f);
        return;
    }
    bindSamplerTexture(GL_TEXTURE_2D, SCENE_DIFFUSE_UNIT, material.diffuseTexture, u.baseTexture);
    glUniform1f(u.hasTex, 1.0f);
}

void bindNormalMap(const Material& material) {
    const SceneUniforms& u = theApp->scenePass.uniforms;
    if (material.normalTexture == NO_TEXTURE || theApp->normalMappingOn != 1) {
        glUniform1f(u.isNormal, 0.0f);
        return;
    }
    glUniform1f(u.isNormal, 1.0f);
    bindSamplerTexture(GL_TEXTURE_2D, SCENE_NORMAL_UNIT, material.normalTexture, u.normalTexture);
}

// Binds the mesh and uploads its matrices, the light and its material; null when it has no material.
const Material* prepareMesh(const Scene& scene, const Mesh& mesh) {
    const Material* material = meshMaterial(scene, mesh);
    if (material) {
        glBindVertexArray(mesh.vao);
        uploadMatrices(mesh);
        uploadLightAndMaterial(*material);
    }
    return material;
}

void drawOpaqueMeshes(const Scene& scene) {
    uploadSceneConstants();
    for (const Mesh& mesh : scene.opaqueMeshes) {
        const Material* material = prepareMesh(scene, mesh);
        if (!material)
            continue;
        withMaterialCulling(*material, [&] {
            bindDiffuseTexture(*material);
            bindNormalMap(*material);
            glUniform1f(theApp->scenePass.uniforms.isSky, 0.0f);
            drawVertices(mesh);
        });
    }
}

// Unsorted; each mesh is drawn with its front faces culled and then with its back faces culled, so its
// far side is blended in before its near side.
void drawTransparentMeshes(const Scene& scene) {
    const SceneUniforms& u = theApp->scenePass.uniforms;
    glUniform1f(u.isTrans, 1.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (const Mesh& mesh : scene.transparentMeshes) {
        const Material* material = prepareMesh(scene, mesh);
        if (!material)
            continue;
        withMaterialCulling(*material, [&] {
            glUniform1f(u.isNormal, 0.0f);
            glUniform1f(u.isSky, 0.0f);
            bindDiffuseTexture(*material);
            glCullFace(GL_FRONT);
            drawVertices(mesh);
            glCullFace(GL_BACK);
            drawVertices(mesh);
        });
    }
    glDisable(GL_BLEND);
}

} // namespace

void initSceneUniforms(GLuint program) {
    SceneUniforms& u = theApp->scenePass.uniforms;
    lookUpUniforms(program, {{&u.projMatrix, "PROJ_matrix"},
                             {&u.viewMatrix, "V_matrix"},
                             {&u.mvp, "MVP"},
                             {&u.mvMatrix, "MV_matrix"},
                             {&u.modelMatrix, "M_matrix"},
                             {&u.normMatrix, "NORM_matrix"},
                             {&u.lightPos, "light_pos_WS"},
                             {&u.lightKd, "light_kd"},
                             {&u.lightKa, "light_ka"},
                             {&u.lightKs, "light_ks"},
                             {&u.materialKd, "material_kd"},
                             {&u.materialKa, "material_ka"},
                             {&u.materialKs, "material_ks"},
                             {&u.materialA, "material_a"},
                             {&u.materialO, "material_o"},
                             {&u.nearFar, "near_far"},
                             {&u.baseTexture, "baseTexture"},
                             {&u.shadowMap, "shadowMap"},
                             {&u.normalTexture, "NormalTextureSampler"},
                             {&u.smOn, "SM_on"},
                             {&u.isNormal, "is_normal"},
                             {&u.isSky, "is_sky"},
                             {&u.isTrans, "is_trans"},
                             {&u.hasTex, "has_tex"}});
}

void drawSceneDepth(GLuint framebuffer) {
    selectTarget(framebuffer, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    // Laid a little behind the surfaces, so that the scene pass's own depth test (less) decides between
    // surfaces at equal depth as it does without this depth.
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 4.0f);
    // Lines and points take no offset, and would then fail against their own depth.
    forEachSolidMesh(theApp->scenes, [](const Mesh& mesh, const Material& material) {
        if (primitiveMode(mesh.primitiveTypes) == GL_TRIANGLES)
            drawCameraDepth(mesh, material);
    });
    glDisable(GL_POLYGON_OFFSET_FILL);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());
}

// The sky comes after the opaque meshes: it lies behind all of them, so the picture is the same, but the
// depth test spares the sky wherever they cover it. It still comes before the glass, which blends over
// it.
void drawScene(GLuint framebuffer, SceneDepth depth) {
    selectTarget(framebuffer,
                 depth == SCENE_DEPTH_LAID ? GL_COLOR_BUFFER_BIT : GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (const Scene& scene : theApp->scenes)
        drawOpaqueMeshes(scene);
    drawSky();
    for (const Scene& scene : theApp->scenes)
        drawTransparentMeshes(scene);
    glUniform1f(theApp->scenePass.uniforms.isTrans, 0.0f);
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());
}
