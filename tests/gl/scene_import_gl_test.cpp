#include "gl_fixture.h"
#include "scene_files.h"

#include "render/uniforms.h"
#include "scene/material_import.h"
#include "scene/scene_import.h"

#include <assimp/Importer.hpp>
#include <assimp/mesh.h>
#include <assimp/postprocess.h>
#include <glm/gtc/matrix_transform.hpp>

#include <cmath>

namespace {

std::vector<float> attributeData(GLuint vao, GLuint location) {
    glBindVertexArray(vao);
    GLint buffer = 0, size = 0;
    glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    std::vector<float> data(size / sizeof(float));
    glGetBufferSubData(GL_ARRAY_BUFFER, 0, size, data.data());
    return data;
}

std::vector<GLuint> enabledLocations(GLuint vao) {
    glBindVertexArray(vao);
    std::vector<GLuint> enabled;
    for (GLuint location = 0; location < 8; ++location) {
        GLint on = 0;
        glGetVertexAttribiv(location, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &on);
        if (on)
            enabled.push_back(location);
    }
    return enabled;
}

glm::vec3 vec3At(const std::vector<float>& data, size_t vertex) {
    return {data[3 * vertex], data[3 * vertex + 1], data[3 * vertex + 2]};
}

class SceneImport : public GlTest {
  protected:
    // loadScene's result, with what it printed in `console`.
    bool load() {
        testing::internal::CaptureStdout();
        bool loaded = loadScene(SCENE_OFFSET);
        fflush(stdout);
        console = testing::internal::GetCapturedStdout();
        return loaded;
    }
    bool load(const std::vector<DaeMaterial>& materials, const std::vector<DaeMesh>& meshes) {
        SceneFolder::writeScene(colladaDocument(materials, meshes));
        return load();
    }
    const Scene& scene() const { return app->scenes.at(0); }

    SceneFolder folder;
    std::string console;
};

} // namespace

TEST_F(SceneImport, MissingFilePrintsTwoLinesAndAppendsNothing) {
    EXPECT_FALSE(load());
    EXPECT_EQ(console, "Couldn't open file: ../models/casa de vacaciones.dae\n\n");
    EXPECT_TRUE(app->scenes.empty());
}

TEST_F(SceneImport, UnparsableFilePrintsTheImportersErrorAndAppendsNothing) {
    const char* contents[] = {"", "garbage \x01\x02 not xml at all",
                              "<?xml version=\"1.0\"?><COLLADA version=\"1.4.1\"><library_geometries>",
                              "<?xml version=\"1.0\"?><svg></svg>"};
    for (const char* content : contents) {
        SceneFolder::writeScene(content);
        Assimp::Importer reference;
        ASSERT_EQ(reference.ReadFile(SCENE_FILE, aiProcess_PreTransformVertices | aiProcess_OptimizeMeshes),
                  nullptr);
        std::string error = reference.GetErrorString();
        EXPECT_FALSE(error.empty());
        EXPECT_FALSE(load()) << content;
        EXPECT_EQ(console, error + "\n");
        EXPECT_TRUE(app->scenes.empty());
    }
}

TEST_F(SceneImport, MaterialKeysFromTheFile) {
    SceneFolder::write("textures/wood.ppm", plainPpm(4, 4, 200, 100, 50));
    SceneFolder::write("textures/normal_wood.ppm", plainPpm(4, 4, 128, 128, 255));
    SceneFolder::write("textures/normal_stone.ppm", plainPpm(4, 4, 128, 128, 255));
    DaeMaterial full{
        "<ambient><color>0.5 0.4 0.3 0.9</color></ambient>"
        "<specular><color>0.1 0.2 0.3 1</color></specular><shininess><float>12</float></shininess>",
        "textures/wood.ppm", "",
        "<extra><technique profile=\"GOOGLEEARTH\"><double_sided>1</double_sided></technique></extra>"};
    DaeMaterial plain; // the importer itself writes defaults for the colours and shininess
    ASSERT_TRUE(load({full, plain}, {triangleMesh(0, 1), triangleMesh(1, 1)}));
    EXPECT_EQ(console, "");
    ASSERT_EQ(scene().materials.size(), 2u);

    const Material& first = scene().materials[0];
    EXPECT_EQ(first.ambient, glm::vec4(0.0f, 0.0f, 0.0f, 0.9f));
    EXPECT_EQ(first.specular, glm::vec4(0.1f, 0.2f, 0.3f, 1.0f));
    EXPECT_EQ(first.shininess, 12.0f);
    EXPECT_EQ(first.twoSided, 1);
    EXPECT_EQ(first.opacity, 1.0f);
    EXPECT_EQ(first.diffuseTexture, app->textureCache.at("textures/wood.ppm"));
    EXPECT_EQ(first.normalTexture, app->textureCache.at("textures/normal_wood.ppm"));

    // No diffuse map, so no normal map either, although a file of that naming exists.
    const Material& second = scene().materials[1];
    EXPECT_EQ(second.diffuse, glm::vec4(0.8f, 0.8f, 0.8f, 1.0f));
    EXPECT_EQ(second.twoSided, 0);
    EXPECT_EQ(second.diffuseTexture, NO_TEXTURE);
    EXPECT_EQ(second.normalTexture, NO_TEXTURE);
    EXPECT_EQ(app->textureCache.size(), 2u);
}

TEST_F(SceneImport, OpacitySplitKeepsOrderWithinEachList) {
    auto opacity = [](const char* value) {
        DaeMaterial material;
        material.shading = std::string("<transparent opaque=\"A_ONE\"><color>1 1 1 1</color></transparent>"
                                       "<transparency><float>") +
                           value + "</float></transparency>";
        return material;
    };
    std::vector<DaeMaterial> materials = {opacity("0.5"), DaeMaterial{}, opacity("0.999"), opacity("1.0")};
    std::vector<DaeMesh> meshes;
    for (unsigned m = 0; m < materials.size(); ++m)
        meshes.push_back(triangleMesh(m, m + 1));
    ASSERT_TRUE(load(materials, meshes));

    EXPECT_FLOAT_EQ(scene().materials[2].opacity, 0.999f);
    std::vector<unsigned> opaque, transparent;
    for (const Mesh& mesh : scene().opaqueMeshes)
        opaque.push_back(mesh.vertexCount / 3);
    for (const Mesh& mesh : scene().transparentMeshes)
        transparent.push_back(mesh.vertexCount / 3);
    EXPECT_EQ(opaque, (std::vector<unsigned>{2, 4}));
    EXPECT_EQ(transparent, (std::vector<unsigned>{1, 3}));
}

TEST_F(SceneImport, EnabledLocationsAndBufferSizesPerMeshKind) {
    std::vector<DaeMesh> meshes = {triangleMesh(0, 2, true, true), triangleMesh(1, 2, true, false),
                                   triangleMesh(2, 2, false, false), triangleMesh(3, 2, false, true)};
    ASSERT_TRUE(load(std::vector<DaeMaterial>(4), meshes));
    const std::vector<std::vector<GLuint>> expected = {{0, 1, 2, 3, 4}, {0, 1}, {0}, {0, 2, 3, 4}};
    ASSERT_EQ(scene().opaqueMeshes.size(), 4u);
    for (size_t m = 0; m < 4; ++m) {
        const Mesh& mesh = scene().opaqueMeshes[m];
        EXPECT_EQ(mesh.materialIndex, m);
        EXPECT_EQ(mesh.vertexCount, 6u);
        EXPECT_EQ(mesh.primitiveTypes, unsigned(aiPrimitiveType_TRIANGLE));
        ASSERT_EQ(enabledLocations(mesh.vao), expected[m]) << "mesh " << m;
        const size_t components[] = {3, 3, 2, 3, 3};
        for (GLuint location : expected[m])
            EXPECT_EQ(attributeData(mesh.vao, location).size(), components[location] * mesh.vertexCount);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneImport, VerticesLandScaledAndOffset) {
    DaeMesh mesh = triangleMesh(0, 1);
    mesh.positions[1] = glm::vec3(1000.0f, 0.0f, 0.0f);
    ASSERT_TRUE(load({DaeMaterial{}}, {mesh, triangleMesh(0, 1)}));
    const Mesh& imported = scene().opaqueMeshes.at(0);
    glm::vec3 authored = vec3At(attributeData(imported.vao, ATTRIB_POSITION), 1);
    EXPECT_EQ(authored, glm::vec3(1000.0f, 0.0f, 0.0f));
    glm::vec4 world = imported.modelMatrix * glm::vec4(authored, 1.0f);
    EXPECT_NEAR(world.x, 1.7f, 1e-6f);
    EXPECT_NEAR(world.y, -1.0f, 1e-6f);
    EXPECT_NEAR(world.z, 1.5f, 1e-6f);
    EXPECT_EQ(world.w, 1.0f);
}

TEST_F(SceneImport, SixVertexMeshGetsOneFramePerTriangle) {
    DaeMesh mesh;
    mesh.positions = {{0, 0, 0}, {2, 0, 0}, {0, 3, 0}, {0, 0, 0}, {2, 0, 0}, {0, 3, 0}};
    mesh.normals.assign(6, glm::vec3(0, 0, 1));
    // The second triangle's texture is turned, which swaps its frame.
    mesh.uvSets = {{{0, 0}, {1, 0}, {0, 1}, {0, 0}, {0, 1}, {1, 0}}};
    ASSERT_TRUE(load({DaeMaterial{}}, {mesh}));
    const Mesh& imported = scene().opaqueMeshes.at(0);
    std::vector<float> tangents = attributeData(imported.vao, ATTRIB_TANGENT);
    std::vector<float> bitangents = attributeData(imported.vao, ATTRIB_BITANGENT);
    ASSERT_EQ(tangents.size(), 18u);
    for (size_t v = 0; v < 3; ++v) {
        EXPECT_EQ(vec3At(tangents, v), glm::vec3(2, 0, 0));
        EXPECT_EQ(vec3At(bitangents, v), glm::vec3(0, 3, 0));
        EXPECT_EQ(vec3At(tangents, v + 3), glm::vec3(0, 3, 0));
        EXPECT_EQ(vec3At(bitangents, v + 3), glm::vec3(2, 0, 0));
    }
    EXPECT_TRUE(app->tangents.empty());
    EXPECT_TRUE(app->bitangents.empty());
}

TEST_F(SceneImport, DegenerateTextureCoordinatesAndLineMeshesGiveFiniteFullBuffers) {
    DaeMesh collapsed = triangleMesh(0, 2);
    collapsed.uvSets[0].assign(6, glm::vec2(0.5f, 0.5f));
    DaeMesh lines;
    lines.material = 1;
    lines.primitive = "lines";
    lines.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    lines.uvSets = {{{0, 0}, {1, 0}, {0, 1}, {1, 1}}};
    ASSERT_TRUE(load({DaeMaterial{}, DaeMaterial{}}, {collapsed, lines}));
    ASSERT_EQ(scene().opaqueMeshes.size(), 2u);
    EXPECT_EQ(scene().opaqueMeshes[1].primitiveTypes, unsigned(aiPrimitiveType_LINE));
    for (const Mesh& mesh : scene().opaqueMeshes)
        for (GLuint location : {ATTRIB_TANGENT, ATTRIB_BITANGENT}) {
            std::vector<float> data = attributeData(mesh.vao, location);
            EXPECT_EQ(data.size(), 3u * mesh.vertexCount);
            for (float value : data)
                ASSERT_TRUE(std::isfinite(value));
        }
}

TEST_F(SceneImport, WrapModesFromTheFile) {
    SceneFolder::write("textures/a.ppm", plainPpm(2, 2, 1, 2, 3));
    SceneFolder::write("textures/b.ppm", plainPpm(2, 2, 1, 2, 3));
    DaeMaterial clampMirror{"", "textures/a.ppm",
                            "<extra><technique profile=\"MAYA\"><wrapU>0</wrapU><wrapV>1</wrapV>"
                            "<mirrorV>1</mirrorV></technique></extra>"};
    DaeMaterial repeat{"", "textures/b.ppm"};
    ASSERT_TRUE(load({clampMirror, repeat}, {triangleMesh(0, 1), triangleMesh(1, 1)}));
    GLuint a = scene().materials[0].diffuseTexture, b = scene().materials[1].diffuseTexture;
    EXPECT_EQ(textureParameter(a, GL_TEXTURE_WRAP_S), GL_CLAMP_TO_EDGE);
    EXPECT_EQ(textureParameter(a, GL_TEXTURE_WRAP_T), GL_MIRRORED_REPEAT);
    EXPECT_EQ(textureParameter(b, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(textureParameter(b, GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(SceneImport, EveryMapModeSetsItsWrapModeWithoutAGlError) {
    SceneFolder::write("textures/wrap.ppm", plainPpm(2, 2, 9, 9, 9));
    const std::pair<int, GLint> modes[] = {{aiTextureMapMode_Wrap, GL_REPEAT},
                                           {aiTextureMapMode_Clamp, GL_CLAMP_TO_EDGE},
                                           {aiTextureMapMode_Mirror, GL_MIRRORED_REPEAT},
                                           {aiTextureMapMode_Decal, GL_CLAMP_TO_BORDER},
                                           {7, GL_REPEAT}};
    // Consecutive modes differ, so a mode left over from the previous round would show.
    for (auto [mapMode, expected] : modes) {
        aiMaterial material;
        aiString path("textures/wrap.ppm");
        material.AddProperty(&path, AI_MATKEY_TEXTURE_DIFFUSE(0));
        material.AddProperty(&mapMode, 1, AI_MATKEY_MAPPINGMODE_U_DIFFUSE(0));
        material.AddProperty(&mapMode, 1, AI_MATKEY_MAPPINGMODE_V_DIFFUSE(0));
        GLuint texture = importMaterial(material).diffuseTexture;
        ASSERT_NE(texture, NO_TEXTURE);
        EXPECT_EQ(textureParameter(texture, GL_TEXTURE_WRAP_S), expected) << "map mode " << mapMode;
        EXPECT_EQ(textureParameter(texture, GL_TEXTURE_WRAP_T), expected) << "map mode " << mapMode;
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "map mode " << mapMode;
    }
}

TEST_F(SceneImport, MissingAndOddlyNamedTexturesNeverStopTheImport) {
    SceneFolder::write("textures/my wood.ppm", plainPpm(2, 2, 1, 1, 1));
    SceneFolder::write("textures/mein holz \xc3\xbc.ppm", plainPpm(2, 2, 1, 1, 1));
    SceneFolder::write("textures/broken.ppm", "P6\n64 64\n255\n\x01\x02");
    std::vector<DaeMaterial> materials = {{"", "textures/none.png"},
                                          {"", "textures/my%20wood.ppm"},
                                          {"", "textures/mein holz \xc3\xbc.ppm"},
                                          {"", "textures/broken.ppm"}};
    std::vector<DaeMesh> meshes;
    for (unsigned m = 0; m < materials.size(); ++m)
        meshes.push_back(triangleMesh(m, 1));
    ASSERT_TRUE(load(materials, meshes));
    EXPECT_EQ(console, "");
    EXPECT_EQ(scene().materials[0].diffuseTexture, NO_TEXTURE);
    EXPECT_EQ(scene().materials[1].diffuseTexture, app->textureCache.at("textures/my wood.ppm"));
    EXPECT_EQ(scene().materials[2].diffuseTexture, app->textureCache.at("textures/mein holz \xc3\xbc.ppm"));
    EXPECT_EQ(scene().materials[3].diffuseTexture, NO_TEXTURE);
    EXPECT_EQ(scene().opaqueMeshes.size(), 4u);
}

// Collada as other exporters write it: Z up in centimetres, several UV sets, images referenced directly
// by the texture, indexed corners shared between faces, nested nodes with transforms.
TEST_F(SceneImport, ColladaFromOtherExporters) {
    DaeMesh twoSets = triangleMesh(0, 2);
    twoSets.uvSets.insert(twoSets.uvSets.begin(), std::vector<glm::vec2>(6, glm::vec2(7.0f, 8.0f)));
    SceneFolder::writeScene(colladaDocument(
        {DaeMaterial{}}, {twoSets}, "<unit name=\"centimeter\" meter=\"0.01\"/><up_axis>Z_UP</up_axis>"));
    ASSERT_TRUE(load());
    const Mesh& mesh = scene().opaqueMeshes.at(0);
    EXPECT_EQ(attributeData(mesh.vao, ATTRIB_TEXCOORD)[0], 7.0f) << "the first set is the one drawn";
    app->scenes.clear();

    SceneFolder::write("textures/direct.ppm", plainPpm(2, 2, 5, 5, 5));
    SceneFolder::writeScene(R"(<?xml version="1.0"?>
<COLLADA xmlns="http://www.collada.org/2005/11/COLLADASchema" version="1.4.1">
 <asset><unit meter="1"/><up_axis>Y_UP</up_axis></asset>
 <library_images><image id="tex" name="tex"><init_from>./textures/direct.ppm</init_from></image></library_images>
 <library_effects><effect id="fx"><profile_COMMON><technique sid="t"><blinn>
  <diffuse><texture texture="tex" texcoord="CHANNEL1"/></diffuse>
 </blinn></technique></profile_COMMON></effect></library_effects>
 <library_materials><material id="mat"><instance_effect url="#fx"/></material></library_materials>
 <library_geometries><geometry id="box"><mesh>
  <source id="p"><float_array id="pa" count="12">0 0 0 1 0 0 1 1 0 0 1 0</float_array>
   <technique_common><accessor source="#pa" count="4" stride="3"><param name="X" type="float"/>
   <param name="Y" type="float"/><param name="Z" type="float"/></accessor></technique_common></source>
  <source id="n"><float_array id="na" count="3">0 0 1</float_array>
   <technique_common><accessor source="#na" count="1" stride="3"><param name="X" type="float"/>
   <param name="Y" type="float"/><param name="Z" type="float"/></accessor></technique_common></source>
  <vertices id="v"><input semantic="POSITION" source="#p"/></vertices>
  <triangles material="m" count="2"><input semantic="VERTEX" source="#v" offset="0"/>
   <input semantic="NORMAL" source="#n" offset="1"/><p>0 0 1 0 2 0 0 0 2 0 3 0</p></triangles>
 </mesh></geometry></library_geometries>
 <library_visual_scenes><visual_scene id="s"><node id="outer"><translate>10 0 0</translate>
  <node id="inner"><scale>2 2 2</scale><instance_geometry url="#box"><bind_material><technique_common>
   <instance_material symbol="m" target="#mat"/></technique_common></bind_material></instance_geometry></node>
 </node></visual_scene></library_visual_scenes>
 <scene><instance_visual_scene url="#s"/></scene>
</COLLADA>)");
    ASSERT_TRUE(load());
    const Mesh& box = scene().opaqueMeshes.at(0);
    EXPECT_EQ(box.vertexCount, 6u);
    EXPECT_EQ(enabledLocations(box.vao), (std::vector<GLuint>{0, 1}));
    EXPECT_EQ(vec3At(attributeData(box.vao, ATTRIB_POSITION), 4), glm::vec3(12.0f, 2.0f, 0.0f));
    EXPECT_EQ(scene().materials.at(0).diffuseTexture, app->textureCache.at("./textures/direct.ppm"));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

namespace {

GLuint compileFlatProgram() {
    const char* vertex = "#version 330 core\nlayout(location = 0) in vec3 position;\nuniform mat4 model;\n"
                         "void main() { gl_Position = model * vec4(position, 1.0); }\n";
    const char* fragment = "#version 330 core\nout vec4 colour;\nvoid main() { colour = vec4(1.0); }\n";
    GLuint program = glCreateProgram();
    for (auto [type, source] :
         {std::pair{GL_VERTEX_SHADER, vertex}, std::pair{GL_FRAGMENT_SHADER, fragment}}) {
        GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        glAttachShader(program, shader);
    }
    glLinkProgram(program);
    return program;
}

} // namespace

// Polygon meshes, as <polylist> and as <polygons>, come out as triangle meshes that cover their polygons.
TEST_F(SceneImport, PolygonMeshesAreFannedAndDrawnWhole) {
    // In file units: a quad on the left, a pentagon on the right of the window once scaled.
    std::vector<glm::vec3> corners = {{-900, -500, 0}, {-100, -500, 0}, {-100, 500, 0},
                                      {-900, 500, 0},  {100, -500, 0},  {900, -500, 0},
                                      {900, 200, 0},   {500, 600, 0},   {100, 200, 0}};
    DaeMesh polylist{0, "polylist", {4, 5}, corners, {}, {}};
    DaeMesh polygons{1, "polygons", {4, 5}, corners, {}, {std::vector<glm::vec2>(corners.size())}};
    ASSERT_TRUE(load({DaeMaterial{}, DaeMaterial{}}, {polylist, polygons}));
    GLuint program = compileFlatProgram();
    glUseProgram(program);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    auto pixelAt = [](glm::vec2 p) { return readPixel(int((p.x + 1) * 512), int((p.y + 1) * 384))[0]; };
    const glm::vec2 inside[] = {{-0.8f, -0.4f}, {-0.2f, 0.4f}, {0.2f, -0.4f},
                                {0.8f, 0.1f},   {0.5f, 0.5f},  {0.15f, 0.15f}};
    const glm::vec2 outside[] = {{0.0f, 0.0f}, {0.85f, 0.5f}, {0.15f, 0.5f}, {-0.5f, 0.7f}};
    for (const Mesh& mesh : scene().opaqueMeshes) {
        EXPECT_EQ(mesh.primitiveTypes, unsigned(aiPrimitiveType_TRIANGLE));
        EXPECT_EQ(mesh.vertexCount, 15u);
        // Undo the scene offset so that the scaled polygons land in clip space.
        glm::mat4 model = glm::translate(glm::mat4(1.0f), -SCENE_OFFSET) * mesh.modelMatrix;
        glUniformMatrix4fv(uniformLocation(program, "model"), 1, GL_FALSE, &model[0][0]);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glBindVertexArray(mesh.vao);
        glDrawArrays(GL_TRIANGLES, 0, mesh.vertexCount);
        glFinish();
        for (glm::vec2 point : inside)
            EXPECT_EQ(pixelAt(point), 255) << point.x << ", " << point.y;
        for (glm::vec2 point : outside)
            EXPECT_EQ(pixelAt(point), 0) << point.x << ", " << point.y;
    }
    EXPECT_EQ(attributeData(scene().opaqueMeshes.at(1).vao, ATTRIB_TANGENT).size(), 45u);
    glDeleteProgram(program);
}
