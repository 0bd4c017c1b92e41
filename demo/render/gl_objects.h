// Owners of GL object names: each deletes its name when it goes, so whatever holds GL objects releases
// them with itself. Move-only; a name of 0 holds nothing. Every owner must go while its context is current.
#pragma once

#include <epoxy/gl.h>

#include <cstddef>
#include <utility>

// Texture name meaning "no texture": all 32 bits set. Loaders hand it out for images that fail; it is
// never a name GL made, so no owner passes it to GL.
constexpr GLuint NO_TEXTURE = 0xFFFFFFFFu;

template <typename Kind> class GlObject {
  public:
    GlObject() = default;
    // Takes over a name that GL made.
    explicit GlObject(GLuint name) : name(name) {}
    // A new name from GL.
    static GlObject generate() { return GlObject(Kind::generate()); }

    ~GlObject() { reset(); }
    GlObject(GlObject&& other) noexcept : name(std::exchange(other.name, 0)) {}
    GlObject& operator=(GlObject&& other) noexcept {
        if (this != &other) {
            reset();
            name = std::exchange(other.name, 0);
        }
        return *this;
    }
    GlObject(const GlObject&) = delete;
    GlObject& operator=(const GlObject&) = delete;

    // The name, for GL calls. Not on a temporary: the name would be deleted before anyone used it.
    operator GLuint() const& { return name; }
    operator GLuint() && = delete;

    void reset() {
        if (name != 0)
            Kind::destroy(name);
        name = 0;
    }

  private:
    GLuint name = 0;
};

namespace gl_kind {

// One name from a glGen* function.
template <typename Generate> GLuint generateOne(Generate generate) {
    GLuint name = 0;
    generate(1, &name);
    return name;
}

struct Texture {
    static GLuint generate() { return generateOne(glGenTextures); }
    static void destroy(GLuint name) {
        if (name != NO_TEXTURE)
            glDeleteTextures(1, &name);
    }
};

struct Buffer {
    static GLuint generate() { return generateOne(glGenBuffers); }
    static void destroy(GLuint name) { glDeleteBuffers(1, &name); }
};

struct VertexArray {
    static GLuint generate() { return generateOne(glGenVertexArrays); }
    static void destroy(GLuint name) { glDeleteVertexArrays(1, &name); }
};

struct Framebuffer {
    static GLuint generate() { return generateOne(glGenFramebuffers); }
    static void destroy(GLuint name) { glDeleteFramebuffers(1, &name); }
};

struct Renderbuffer {
    static GLuint generate() { return generateOne(glGenRenderbuffers); }
    static void destroy(GLuint name) { glDeleteRenderbuffers(1, &name); }
};

struct Query {
    static GLuint generate() { return generateOne(glGenQueries); }
    static void destroy(GLuint name) { glDeleteQueries(1, &name); }
};

struct Program {
    static GLuint generate() { return glCreateProgram(); }
    static void destroy(GLuint name) { glDeleteProgram(name); }
};

// Made with glCreateShader(type), then taken over.
struct Shader {
    static void destroy(GLuint name) { glDeleteShader(name); }
};

} // namespace gl_kind

using Texture = GlObject<gl_kind::Texture>;
using Buffer = GlObject<gl_kind::Buffer>;
using VertexArray = GlObject<gl_kind::VertexArray>;
using Framebuffer = GlObject<gl_kind::Framebuffer>;
using Renderbuffer = GlObject<gl_kind::Renderbuffer>;
using Query = GlObject<gl_kind::Query>;
using Program = GlObject<gl_kind::Program>;
using Shader = GlObject<gl_kind::Shader>;

// A new buffer holding `vertexCount` vertices of `components` tightly packed floats (GL_STATIC_DRAW), bound
// to attribute `location` of the bound vertex array and enabled there.
Buffer uploadAttribute(GLuint location, GLint components, const float* data, size_t vertexCount);
