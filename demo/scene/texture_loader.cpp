#include "scene/texture_loader.h"

#include "app/demo_app.h"
#include "scene/image_decode.h"
#include "scene/image_prefetch.h"
#include "scene/image_table.h"

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
Texture createTexture(const unsigned char* chain, const ImageLevels& image, const PixelLayout& layout) {
    Texture texture = Texture::generate();
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

// NO_TEXTURE where the request has no levels or GL could not hold them.
Texture textureFrom(ImageTable& table, int index) {
    ImageLevels image;
    const unsigned char* chain = table.levels(index, image);
    Texture texture(NO_TEXTURE);
    if (chain && fitsGl(image))
        texture = createTexture(chain, image, pixelLayout(image.channels));
    table.release(index);
    return texture;
}

// While the start-up waits for one image, it makes textures of those decoded after it, which it will ask
// for later; false when none is ready. The awaited one is left to its waiter, however soon it is ready.
bool makeTextureAhead(ImageTable& table, int awaited) {
    for (int index = 0; index < table.requestCount(); ++index) {
        if (index != awaited && table.await(index, 0.0) == IMAGE_DECODED) {
            theApp->texturesMadeAhead[index] = textureFrom(table, index);
            return true;
        }
    }
    return false;
}

Texture prefetchedTexture(ImagePrefetch& prefetch, int index, ImageState& state) {
    auto ahead = theApp->texturesMadeAhead.find(index);
    if (ahead != theApp->texturesMadeAhead.end()) {
        Texture texture = std::move(ahead->second);
        theApp->texturesMadeAhead.erase(ahead);
        state = texture == NO_TEXTURE ? IMAGE_FAILED : IMAGE_DECODED;
        return texture;
    }
    state = prefetch.await(index, [&prefetch, index] { return makeTextureAhead(prefetch.table(), index); });
    return state == IMAGE_DECODED ? textureFrom(prefetch.table(), index) : Texture(NO_TEXTURE);
}

// Decoded by the start-up's decoders when they were asked for it, else now.
Texture decodeTexture(int channels, const std::string& path) {
    ImagePrefetch* prefetch = theApp->imagePrefetch.get();
    int index = prefetch ? prefetch->table().find(channels, path) : -1;
    if (index >= 0) {
        ImageState state = IMAGE_NOT_DECODED;
        Texture texture = prefetchedTexture(*prefetch, index, state);
        if (state == IMAGE_DECODED || state == IMAGE_FAILED)
            return texture;
    }
    ImageTable table(SINGLE_IMAGE_SPACE);
    int own = table.request(channels, path);
    table.decode(own);
    return textureFrom(table, own);
}

} // namespace

std::string normalMapPath(const std::string& diffusePath) {
    std::string::size_type slash = diffusePath.rfind('/');
    std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
    return diffusePath.substr(0, nameStart) + NORMAL_MAP_PREFIX + diffusePath.substr(nameStart);
}

void finishImagePrefetch(DemoApp& app) {
    app.texturesMadeAhead.clear();
    app.imagePrefetch.reset();
}

GLuint loadTexture(ColorSpace colorSpace, std::string path) {
    auto cached = theApp->textureCache.find(path);
    if (cached != theApp->textureCache.end())
        return cached->second;
    PhaseTimer timer(theApp->startupSeconds[PHASE_TEXTURES]);
    Texture texture = decodeTexture(colorSpace, path);
    GLuint name = texture;
    if (name != NO_TEXTURE)
        theApp->textureCache.emplace(path, std::move(texture));
    return name;
}
