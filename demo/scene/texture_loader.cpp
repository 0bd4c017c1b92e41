#include "scene/texture_loader.h"

#include "app/demo_app.h"
#include "scene/image_decode.h"
#include "scene/image_prefetch.h"
#include "scene/image_table.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstddef>

namespace {

// `path` with `text` put in front of its file name: right after the last "/" (the backslash does not
// separate), or at the start when there is none.
std::string beforeFileName(const std::string& path, const char* text) {
    std::string::size_type slash = path.rfind('/');
    std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, nameStart) + text + path.substr(nameStart);
}

// The half-size form's path of the map at `path`, whether or not it exists.
std::string halfMapPath(const std::string& path) {
    return beforeFileName(path, HALF_MAP_FOLDER);
}

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

bool fitsGl(uint32_t width, uint32_t height) {
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    return width <= static_cast<GLuint>(largest) && height <= static_cast<GLuint>(largest);
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

// Where a chain's levels go in its texture: chain level L is GL level `shift` + L, and those below
// `first` are not uploaded yet.
struct LevelPlacement {
    GLint shift;
    GLint first;
};

// A texture with the placed levels of the chain; its base level is the first one uploaded.
Texture createTexture(const unsigned char* chain, const ImageLevels& image, const PixelLayout& layout,
                      LevelPlacement placement) {
    Texture texture = Texture::generate();
    glBindTexture(GL_TEXTURE_2D, texture);
    // Set before the levels arrive, the mipmap filter lets GL allocate the whole chain with level 0.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, placement.shift + placement.first);
    for (uint32_t level = 0; level < image.levels; ++level) {
        GLsizei width = std::max(1u, image.width >> level), height = std::max(1u, image.height >> level);
        if (static_cast<GLint>(level) >= placement.first)
            uploadLevel(placement.shift + level, layout, width, height, chain);
        chain += size_t(width) * height * image.channels;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

// The texture of a decoded whole image, its top level held back for a large map; or of a half-size form,
// waiting for its top level.
Texture textureOfRole(const unsigned char* chain, const ImageLevels& image, ImageRole role) {
    PixelLayout layout = pixelLayout(image.channels);
    if (role == HALF_IMAGE)
        return fitsGl(2 * image.width, 2 * image.height) ? createTexture(chain, image, layout, {1, 0})
                                                         : Texture(NO_TEXTURE);
    if (!fitsGl(image.width, image.height))
        return Texture(NO_TEXTURE);
    GLint first = firstLevelNow(image);
    Texture texture = createTexture(chain, image, layout, {0, first});
    if (first > 0)
        holdTopLevel(texture, chain, image, layout);
    return texture;
}

// NO_TEXTURE where the request has no levels or GL could not hold them.
Texture textureFrom(ImageTable& table, int index) {
    ImageLevels image;
    const unsigned char* chain = table.levels(index, image);
    Texture texture(NO_TEXTURE);
    if (chain && table.role(index) != TOP_LEVEL_IMAGE)
        texture = textureOfRole(chain, image, table.role(index));
    table.release(index);
    return texture;
}

// Level 0 of `texture`, which then samples it; the unit's binding stays as the passes left it.
void setTopLevel(GLuint texture, const PixelLayout& layout, GLsizei width, GLsizei height,
                 const unsigned char* texels) {
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, texture);
    uploadLevel(0, layout, width, height, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glBindTexture(GL_TEXTURE_2D, bound);
}

// The top level of a texture made from a half-size form, to come from `request`: twice that form's size.
HeldTopLevel topLevelToCome(GLuint texture, int channels, int request) {
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 1, GL_TEXTURE_HEIGHT, &height);
    glBindTexture(GL_TEXTURE_2D, 0);
    PixelLayout layout = pixelLayout(channels);
    return {texture, layout.internalFormat, layout.format, 2 * width, 2 * height, {}, request};
}

// The decoded level 0 of the top level's request, where it has the size the texture needs; the request's
// levels are released.
void uploadDecodedTopLevel(ImageTable& table, const HeldTopLevel& top) {
    ImageLevels image;
    const unsigned char* texels = table.levels(top.request, image);
    if (texels && image.width == static_cast<uint32_t>(top.width) &&
        image.height == static_cast<uint32_t>(top.height))
        setTopLevel(top.texture, {top.internalFormat, top.format}, top.width, top.height, texels);
    table.release(top.request);
}

// While the start-up waits for one image, it makes textures of those decoded after it, which it will ask
// for later; false when none is ready. The awaited one is left to its waiter, however soon it is ready.
bool makeTextureAhead(ImageTable& table, int awaited) {
    for (int index = 0; index < table.requestCount(); ++index) {
        if (index != awaited && table.role(index) != TOP_LEVEL_IMAGE &&
            table.await(index, 0.0) == IMAGE_DECODED) {
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

// The start-up's texture of the map at `path`, from its half-size form where the decoders were given one,
// the top level then held until they have decoded it. The state tells whether they gave an outcome.
Texture prefetchedMap(ImagePrefetch& prefetch, int channels, const std::string& path, ImageState& state) {
    ImageTable& table = prefetch.table();
    int half = table.find(channels, halfMapPath(path));
    if (half < 0) {
        int index = table.find(channels, path);
        state = IMAGE_NOT_DECODED;
        bool whole = index >= 0 && table.role(index) == WHOLE_IMAGE;
        return whole ? prefetchedTexture(prefetch, index, state) : Texture(NO_TEXTURE);
    }
    Texture texture = prefetchedTexture(prefetch, half, state);
    int top = table.find(channels, path);
    if (texture != NO_TEXTURE && top >= 0)
        theApp->heldTopLevels.push_back(topLevelToCome(texture, channels, top));
    return texture;
}

// Decoded here and now, with the top level right away where the map has a half-size form.
Texture decodedMap(int channels, const std::string& path) {
    std::optional<std::string> half = halfMapFile(path);
    ImageTable table(SINGLE_IMAGE_SPACE);
    int own = table.request(channels, half ? *half : path, half ? HALF_IMAGE : WHOLE_IMAGE);
    table.decode(own);
    Texture texture = textureFrom(table, own);
    if (half && texture != NO_TEXTURE) {
        ImageTable topTable(SINGLE_IMAGE_SPACE);
        int top = topTable.request(channels, path, TOP_LEVEL_IMAGE);
        topTable.decode(top);
        uploadDecodedTopLevel(topTable, topLevelToCome(texture, channels, top));
    }
    return texture;
}

// Decoded by the start-up's decoders when they were asked for it, else now.
Texture decodeTexture(int channels, const std::string& path) {
    if (ImagePrefetch* prefetch = theApp->imagePrefetch.get()) {
        ImageState state = IMAGE_NOT_DECODED;
        Texture texture = prefetchedMap(*prefetch, channels, path, state);
        if (state == IMAGE_DECODED || state == IMAGE_FAILED)
            return texture;
    }
    return decodedMap(channels, path);
}

// The oldest held top level uploaded, or dropped where it cannot be had; false where none is held, or
// its decoding goes on and `wait` is false.
bool takeTopLevel(DemoApp& app, bool wait) {
    if (app.heldTopLevels.empty())
        return false;
    const HeldTopLevel& top = app.heldTopLevels.front();
    if (top.request < 0) {
        setTopLevel(top.texture, {top.internalFormat, top.format}, top.width, top.height, top.texels.data());
    } else if (ImagePrefetch* prefetch = app.imagePrefetch.get()) {
        ImageState state = wait ? prefetch->await(top.request) : prefetch->table().await(top.request, 0.0);
        if (state == IMAGE_PENDING)
            return false;
        uploadDecodedTopLevel(prefetch->table(), top);
    }
    app.heldTopLevels.pop_front();
    return true;
}

void allowTopLevelDecoding(DemoApp& app) {
    if (app.imagePrefetch)
        app.imagePrefetch->table().allowTopLevels();
}

// The decoders end once no held top level waits for them.
void endPrefetchWhenDone(DemoApp& app) {
    if (std::none_of(app.heldTopLevels.begin(), app.heldTopLevels.end(),
                     [](const HeldTopLevel& top) { return top.request >= 0; }))
        app.imagePrefetch.reset();
}

} // namespace

std::string normalMapPath(const std::string& diffusePath) {
    return beforeFileName(diffusePath, NORMAL_MAP_PREFIX);
}

std::optional<std::string> halfMapFile(const std::string& path) {
    std::string half = halfMapPath(path);
    struct stat status {};
    if (stat(half.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return half;
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
    endPrefetchWhenDone(app);
}

bool uploadNextTopLevel(DemoApp& app) {
    allowTopLevelDecoding(app);
    bool uploaded = takeTopLevel(app, false);
    if (uploaded)
        endPrefetchWhenDone(app);
    return uploaded;
}

void uploadHeldTopLevels(DemoApp& app) {
    allowTopLevelDecoding(app);
    while (takeTopLevel(app, true)) {
    }
    endPrefetchWhenDone(app);
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
