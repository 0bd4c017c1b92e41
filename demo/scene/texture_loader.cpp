#include "scene/texture_loader.h"

#include "app/demo_app.h"
#include "scene/image_decode.h"
#include "scene/image_prefetch.h"
#include "scene/image_table.h"

#include <algorithm>
#include <cstddef>

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

// Rows are tightly packed; RGB rows of most odd widths are no multiple of four bytes.
void uploadLevel(GLint level, const PixelLayout& layout, GLsizei width, GLsizei height,
                 const unsigned char* texels) {
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, level, layout.internalFormat, width, height, 0, layout.format,
                 GL_UNSIGNED_BYTE, texels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

// 1 for a map whose top level waits for the first frames, 0 otherwise.
GLint firstLevelNow(const ImageLevels& image) {
    return image.levels > 1 && std::max(image.width, image.height) > FIRST_FRAME_MAP_SIZE ? 1 : 0;
}

// Its texels are copied: the shared space they lie in goes with the start-up.
void holdTopLevel(GLuint texture, const unsigned char* chain, const ImageLevels& image,
                  const PixelLayout& layout) {
    size_t bytes = size_t(image.width) * image.height * image.channels;
    theApp->heldTopLevels.push_back({texture, layout.internalFormat, layout.format,
                                     static_cast<GLsizei>(image.width), static_cast<GLsizei>(image.height),
                                     std::vector<unsigned char>(chain, chain + bytes)});
}

// A texture with every level of the chain, the top one held back for a large map; its base level is the
// first one uploaded.
Texture createTexture(const unsigned char* chain, const ImageLevels& image, const PixelLayout& layout) {
    Texture texture = Texture::generate();
    glBindTexture(GL_TEXTURE_2D, texture);
    // Set before the levels arrive, the mipmap filter lets GL allocate the whole chain with level 0.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    GLint first = firstLevelNow(image);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, first);
    if (first > 0)
        holdTopLevel(texture, chain, image, layout);
    for (uint32_t level = 0; level < image.levels; ++level) {
        GLsizei width = std::max(1u, image.width >> level), height = std::max(1u, image.height >> level);
        if (static_cast<GLint>(level) >= first)
            uploadLevel(level, layout, width, height, chain);
        chain += size_t(width) * height * image.channels;
    }
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
    // Textures made ahead and never asked for go, and with them the top levels held for them.
    auto unclaimed = [&app](const HeldTopLevel& top) {
        return std::any_of(app.texturesMadeAhead.begin(), app.texturesMadeAhead.end(),
                           [&top](const auto& ahead) { return ahead.second == top.texture; });
    };
    app.heldTopLevels.erase(std::remove_if(app.heldTopLevels.begin(), app.heldTopLevels.end(), unclaimed),
                            app.heldTopLevels.end());
    app.texturesMadeAhead.clear();
    app.imagePrefetch.reset();
}

bool uploadNextTopLevel(DemoApp& app) {
    if (app.heldTopLevels.empty())
        return false;
    const HeldTopLevel& top = app.heldTopLevels.front();
    // The passes find the unit's binding as they left it.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, top.texture);
    uploadLevel(0, {top.internalFormat, top.format}, top.width, top.height, top.texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, bound);
    app.heldTopLevels.pop_front();
    return true;
}

void uploadHeldTopLevels(DemoApp& app) {
    while (uploadNextTopLevel(app)) {
    }
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
