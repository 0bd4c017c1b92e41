#include "scene/texture_loader.h"

#include "app/demo_app.h"
#include "scene/image_decode.h"
#include "scene/image_prefetch.h"

#include <algorithm>

namespace {

// Room for the levels of one image: more than a decode may grow to.
constexpr size_t SINGLE_IMAGE_SPACE = IMAGE_DECODE_LIMITS.addedBytes;

struct PixelLayout {
    GLint internalFormat;
    GLenum format;
};

// `channels` as a ColorSpace holds them.
PixelLayout pixelLayout(int channels) {
    if (channels == SRGB_ALPHA)
        return {GL_SRGB8_ALPHA8, GL_RGBA};
    return {GL_RGB, GL_RGB};
}

bool fitsGl(const ImageLevels& image) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    return image.width <= static_cast<GLuint>(largest) && image.height <= static_cast<GLuint>(largest);
}

// A texture with every level of the chain.
GLuint createTexture(const unsigned char* chain, const ImageLevels& image, const PixelLayout& layout) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    // Set before the levels arrive, the mipmap filter lets GL allocate the whole chain with level 0.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    // Rows are tightly packed; RGB rows of most odd widths are no multiple of four bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (uint32_t level = 0; level < image.levels; ++level) {
        GLsizei width = std::max(1u, image.width >> level), height = std::max(1u, image.height >> level);
        glTexImage2D(GL_TEXTURE_2D, level, layout.internalFormat, width, height, 0, layout.format,
                     GL_UNSIGNED_BYTE, chain);
        chain += size_t(width) * height * image.channels;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

GLuint textureFrom(ImageTable& table, int index, int channels) {
    ImageLevels image;
    const unsigned char* chain = table.levels(index, image);
    GLuint texture = chain && fitsGl(image) ? createTexture(chain, image, pixelLayout(channels)) : NO_TEXTURE;
    table.release(index);
    return texture;
}

// Decoded by the start-up's decoders when they were asked for it, else now.
GLuint decodeTexture(int channels, const std::string& path) {
    if (ImagePrefetch* prefetch = theApp->imagePrefetch.get()) {
        int index = prefetch->table().find(channels, path);
        ImageState state = index >= 0 ? prefetch->await(index) : IMAGE_NOT_DECODED;
        if (state == IMAGE_DECODED)
            return textureFrom(prefetch->table(), index, channels);
        if (state == IMAGE_FAILED)
            return NO_TEXTURE;
    }
    ImageTable table(SINGLE_IMAGE_SPACE);
    int index = table.request(channels, path);
    table.decode(index);
    return textureFrom(table, index, channels);
}

} // namespace

std::string normalMapPath(const std::string& diffusePath) {
    std::string::size_type slash = diffusePath.rfind('/');
    std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
    return diffusePath.substr(0, nameStart) + NORMAL_MAP_PREFIX + diffusePath.substr(nameStart);
}

GLuint loadTexture(ColorSpace colorSpace, std::string path) {
    auto cached = theApp->textureCache.find(path);
    if (cached != theApp->textureCache.end())
        return cached->second;
    PhaseTimer timer(theApp->startupSeconds[PHASE_TEXTURES]);
    GLuint texture = decodeTexture(colorSpace, path);
    if (texture != NO_TEXTURE)
        theApp->textureCache.emplace(path, Texture(texture));
    return texture;
}
