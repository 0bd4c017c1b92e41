// Scene and image files written by the tests: a throw-away folder laid out as the demo expects
// (`demo/` as working directory beside `models/`), small Collada documents and images.
#pragma once

#include <glm/glm.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// Makes `root/demo` the working directory while it lives; the scene file goes to `root/models`. The
// soundtrack stays the real one, since every DemoApp loads it.
class SceneFolder {
  public:
    SceneFolder() : previous(fs::current_path()) {
        char pattern[] = "/tmp/scene-test-XXXXXX";
        root = mkdtemp(pattern);
        fs::create_directories(root / "demo" / "textures");
        fs::create_directories(root / "models");
        fs::create_directory_symlink(fs::absolute(previous / ".." / "sounds"), root / "sounds");
        fs::current_path(root / "demo");
    }
    ~SceneFolder() {
        fs::current_path(previous);
        fs::remove_all(root);
    }

    // `relative` is taken from the working directory, as the demo resolves texture paths.
    static void write(const std::string& relative, const std::string& bytes) {
        std::ofstream(relative, std::ios::binary) << bytes;
    }
    static void writeScene(const std::string& collada) { write("../models/casa de vacaciones.dae", collada); }

  private:
    fs::path previous;
    fs::path root;
};

// An RGB image as binary PPM; `rgb` holds rows top first, three bytes a pixel.
inline std::string ppm(int width, int height, const std::vector<unsigned char>& rgb) {
    std::string header = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    return header + std::string(rgb.begin(), rgb.end());
}

// A width x height PPM filled with one colour.
inline std::string plainPpm(int width, int height, unsigned char r, unsigned char g, unsigned char b) {
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    for (size_t i = 0; i < rgb.size(); i += 3) {
        rgb[i] = r;
        rgb[i + 1] = g;
        rgb[i + 2] = b;
    }
    return ppm(width, height, rgb);
}

// Collada building blocks. Each mesh becomes its own geometry and node, bound to one material; the
// importer merges meshes that share a material.
struct DaeMaterial {
    std::string shading; // content of <phong> after <diffuse>, e.g. "<shininess><float>8</float></shininess>"
    std::string texture; // diffuse image path as written into <init_from>; empty: a plain diffuse colour
    std::string textureExtra = ""; // inside <texture>, e.g. a MAYA technique with wrap modes
    std::string effectExtra = "";  // after the technique in <profile_COMMON>, e.g. a double_sided flag
};

struct DaeMesh {
    unsigned material = 0;
    std::string primitive = "triangles"; // triangles, polylist, polygons or lines
    std::vector<unsigned> faceSizes;     // corners per face, for polylist and polygons
    std::vector<glm::vec3> positions;    // one per corner
    std::vector<glm::vec3> normals;      // empty or one per corner
    std::vector<std::vector<glm::vec2>> uvSets;
};

constexpr const char* METRE_Y_UP = "<unit name=\"meter\" meter=\"1\"/><up_axis>Y_UP</up_axis>";

namespace dae {

template <typename Vec> std::string floats(const std::vector<Vec>& values) {
    std::ostringstream out;
    for (const Vec& v : values)
        for (int c = 0; c < Vec::length(); ++c)
            out << v[c] << ' ';
    return out.str();
}

template <typename Vec>
std::string source(const std::string& id, const std::vector<Vec>& values, const std::string& params) {
    std::ostringstream out;
    out << "<source id=\"" << id << "\"><float_array id=\"" << id << "-a\" count=\""
        << values.size() * Vec::length() << "\">" << floats(values) << "</float_array><technique_common>"
        << "<accessor source=\"#" << id << "-a\" count=\"" << values.size() << "\" stride=\"" << Vec::length()
        << "\">" << params << "</accessor></technique_common></source>";
    return out.str();
}

inline std::string indices(unsigned first, unsigned count) {
    std::string text;
    for (unsigned i = first; i < first + count; ++i)
        text += std::to_string(i) + " ";
    return text;
}

// The <p> lists: one for every primitive element but <polygons>, which has one per face.
inline std::string primitiveBody(const DaeMesh& mesh) {
    unsigned corners = static_cast<unsigned>(mesh.positions.size());
    if (mesh.primitive == "polylist") {
        std::string counts;
        for (unsigned size : mesh.faceSizes)
            counts += std::to_string(size) + " ";
        return "<vcount>" + counts + "</vcount><p>" + indices(0, corners) + "</p>";
    }
    if (mesh.primitive == "polygons") {
        std::string lists;
        unsigned first = 0;
        for (unsigned size : mesh.faceSizes) {
            lists += "<p>" + indices(first, size) + "</p>";
            first += size;
        }
        return lists;
    }
    return "<p>" + indices(0, corners) + "</p>";
}

inline std::string geometry(const DaeMesh& mesh, size_t number) {
    const std::string id = "g" + std::to_string(number);
    const char* xyz = "<param name=\"X\" type=\"float\"/><param name=\"Y\" type=\"float\"/>"
                      "<param name=\"Z\" type=\"float\"/>";
    std::ostringstream out;
    out << "<geometry id=\"" << id << "\"><mesh>" << source(id + "-pos", mesh.positions, xyz);
    if (!mesh.normals.empty())
        out << source(id + "-nrm", mesh.normals, xyz);
    for (size_t set = 0; set < mesh.uvSets.size(); ++set)
        out << source(id + "-uv" + std::to_string(set), mesh.uvSets[set],
                      "<param name=\"S\" type=\"float\"/><param name=\"T\" type=\"float\"/>");
    out << "<vertices id=\"" << id << "-v\"><input semantic=\"POSITION\" source=\"#" << id
        << "-pos\"/></vertices>";
    size_t faces = mesh.faceSizes.empty() ? mesh.positions.size() / (mesh.primitive == "lines" ? 2 : 3)
                                          : mesh.faceSizes.size();
    out << "<" << mesh.primitive << " material=\"m\" count=\"" << faces << "\">"
        << "<input semantic=\"VERTEX\" source=\"#" << id << "-v\" offset=\"0\"/>";
    if (!mesh.normals.empty())
        out << "<input semantic=\"NORMAL\" source=\"#" << id << "-nrm\" offset=\"0\"/>";
    for (size_t set = 0; set < mesh.uvSets.size(); ++set)
        out << "<input semantic=\"TEXCOORD\" source=\"#" << id << "-uv" << set << "\" offset=\"0\" set=\""
            << set << "\"/>";
    out << primitiveBody(mesh) << "</" << mesh.primitive << "></mesh></geometry>";
    return out.str();
}

inline std::string effect(const DaeMaterial& material, size_t number) {
    const std::string n = std::to_string(number);
    std::ostringstream out;
    out << "<effect id=\"fx" << n << "\"><profile_COMMON>";
    std::string diffuse = "<color>0.8 0.8 0.8 1</color>";
    if (!material.texture.empty()) {
        out << "<newparam sid=\"surface" << n << "\"><surface type=\"2D\"><init_from>img" << n
            << "</init_from></surface></newparam><newparam sid=\"sampler" << n
            << "\"><sampler2D><source>surface" << n << "</source></sampler2D></newparam>";
        diffuse =
            "<texture texture=\"sampler" + n + "\" texcoord=\"UV0\">" + material.textureExtra + "</texture>";
    }
    out << "<technique sid=\"common\"><phong><diffuse>" << diffuse << "</diffuse>" << material.shading
        << "</phong></technique>" << material.effectExtra << "</profile_COMMON></effect>";
    return out.str();
}

inline std::string node(const DaeMesh& mesh, size_t number) {
    const std::string n = std::to_string(number);
    return "<node id=\"n" + n + "\"><instance_geometry url=\"#g" + n +
           "\"><bind_material><technique_common><instance_material symbol=\"m\" target=\"#mat" +
           std::to_string(mesh.material) +
           "\"/></technique_common></bind_material></instance_geometry></node>";
}

} // namespace dae

inline std::string colladaDocument(const std::vector<DaeMaterial>& materials,
                                   const std::vector<DaeMesh>& meshes,
                                   const std::string& asset = METRE_Y_UP) {
    std::ostringstream out;
    out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        << "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">"
        << "<asset>" << asset << "</asset><library_images>";
    for (size_t m = 0; m < materials.size(); ++m)
        if (!materials[m].texture.empty())
            out << "<image id=\"img" << m << "\"><init_from>" << materials[m].texture
                << "</init_from></image>";
    out << "</library_images><library_effects>";
    for (size_t m = 0; m < materials.size(); ++m)
        out << dae::effect(materials[m], m);
    out << "</library_effects><library_materials>";
    for (size_t m = 0; m < materials.size(); ++m)
        out << "<material id=\"mat" << m << "\"><instance_effect url=\"#fx" << m << "\"/></material>";
    out << "</library_materials><library_geometries>";
    for (size_t g = 0; g < meshes.size(); ++g)
        out << dae::geometry(meshes[g], g);
    out << "</library_geometries><library_visual_scenes><visual_scene id=\"scene\">";
    for (size_t g = 0; g < meshes.size(); ++g)
        out << dae::node(meshes[g], g);
    out << "</visual_scene></library_visual_scenes><scene><instance_visual_scene url=\"#scene\"/></scene>"
        << "</COLLADA>\n";
    return out.str();
}

// One triangle per three corners, in the XY plane, with texture coordinates matching x and y.
inline DaeMesh triangleMesh(unsigned material, unsigned triangles, bool normals = true, bool uvs = true) {
    DaeMesh mesh;
    mesh.material = material;
    std::vector<glm::vec2> uv;
    for (unsigned t = 0; t < triangles; ++t)
        for (glm::vec2 corner : {glm::vec2(0, 0), glm::vec2(1, 0), glm::vec2(0, 1)}) {
            mesh.positions.emplace_back(corner + glm::vec2(t), 0.0f);
            uv.push_back(corner);
        }
    if (normals)
        mesh.normals.assign(mesh.positions.size(), glm::vec3(0, 0, 1));
    if (uvs)
        mesh.uvSets.push_back(uv);
    return mesh;
}
