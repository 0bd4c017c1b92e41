// Reads the demo's model file into a `Scene`: materials with their textures, one vertex array per mesh.
#pragma once

#include "app/child_process.h"
#include "scene/scene_model.h"

#include <assimp/postprocess.h>
#include <functional>
#include <glm/glm.hpp>
#include <memory>

struct aiScene;

constexpr const char* SCENE_FILE = "../models/casa de vacaciones.dae";

// No triangulation and no vertex joining: the Collada import then gives one vertex per face corner in face
// order, which non-indexed drawing relies on.
constexpr unsigned SCENE_IMPORT_FLAGS = aiProcess_PreTransformVertices | aiProcess_OptimizeMeshes;

// Where the house stands: the model file's units to world units, then moved by the offset.
constexpr float SCENE_SCALE = 0.001f;
constexpr glm::vec3 SCENE_OFFSET(0.7f, -1.0f, 1.5f);

// The scene import finishes in well under a second and a few tens of megabytes.
constexpr ChildLimits SCENE_CHECK_LIMITS{60.0, size_t(2) << 30};

// Scales by SCENE_SCALE, then moves by `offset`.
glm::mat4 sceneModelMatrix(const glm::vec3& offset);

// Transparent meshes (material opacity below 1.0) go to their own list; above 1.0 counts as opaque.
void addMeshByOpacity(Scene& scene, Mesh mesh);

// Starts reading the scene file in a child process, for `loadScene` to ask afterwards (it starts one itself
// when `DemoApp::sceneFileCheck` holds none): started early, the read runs beside the rest of the start-up.
// `alsoRead` gets what the child read (nullptr where the import failed), so that work on the file's
// content can start before `loadScene`; only what it puts in shared memory outlives the child.
using SceneFileReader = std::function<void(const aiScene*)>;
std::unique_ptr<ChildProcess> startSceneFileCheck(const SceneFileReader& alsoRead = nullptr);

// Appends one Scene to the application's `scenes`; false, with the reason on the console and nothing
// appended, when the file cannot be opened or parsed.
bool loadScene(const glm::vec3& offset);
