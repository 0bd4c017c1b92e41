#include "scene/image_prefetch.h"

#include "scene/image_decode.h"
#include "scene/material_import.h"

#include <assimp/scene.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <sched.h>
#include <sys/resource.h>
#include <thread>

namespace {

// Room for the levels of every image the start-up loads, many times over.
constexpr size_t PREFETCH_SPACE = size_t(4) << 30;

// A decoder takes requests until the table is closed; it only forks and waits, so it stays small.
constexpr ChildLimits DECODER_LIMITS{3600.0, size_t(256) << 20};
// Added to the start-up's own niceness.
constexpr int DECODER_NICENESS = 10;

// Behind the start-up's own work (the window opens meanwhile), ahead of idle processors, under a
// real-time policy as well.
void yieldToStartUp() {
    int policy = sched_getscheduler(0);
    sched_param param{};
    if ((policy == SCHED_FIFO || policy == SCHED_RR) && sched_getparam(0, &param) == 0) {
        param.sched_priority = std::max(sched_get_priority_min(policy), param.sched_priority - 1);
        sched_setscheduler(0, policy, &param);
    }
    setpriority(PRIO_PROCESS, 0, getpriority(PRIO_PROCESS, 0) + DECODER_NICENESS);
}

// The top levels are decoded while the flight runs, in the time its frames leave the processors.
void yieldToFrames() {
    sched_param param{};
    sched_setscheduler(0, SCHED_IDLE, &param);
}

} // namespace

ImagePrefetch::ImagePrefetch(const std::vector<std::pair<int, std::string>>& requests)
    : images(PREFETCH_SPACE) {
    for (const auto& [channels, path] : requests)
        images.request(channels, path);
    unsigned processors = std::max(1u, std::thread::hardware_concurrency());
    auto decodeRequests = [this] {
        yieldToStartUp();
        for (int index = images.nextToDecode(); index >= 0; index = images.nextToDecode()) {
            if (images.role(index) == TOP_LEVEL_IMAGE)
                yieldToFrames();
            images.decode(index);
        }
    };
    for (unsigned i = 0; i < processors; ++i)
        decoders.push_back(std::make_unique<ChildProcess>(decodeRequests, DECODER_LIMITS));
}

bool ImagePrefetch::decodersLeft() {
    return std::any_of(decoders.begin(), decoders.end(),
                       [](const auto& decoder) { return !decoder->finished(); });
}

ImageState ImagePrefetch::await(int index, const std::function<bool()>& work) {
    // Requests ahead of it may each take a decoder up to the decode limit.
    auto deadline =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(4 * IMAGE_DECODE_LIMITS.seconds);
    for (;;) {
        bool worked = work && images.await(index, 0.0) == IMAGE_PENDING && work();
        ImageState state = images.await(index, worked ? 0.0 : 0.05);
        if (state != IMAGE_PENDING)
            return state;
        if (decodersLeft() && std::chrono::steady_clock::now() < deadline)
            continue;
        state = images.await(index, 0.0);
        return state == IMAGE_PENDING ? IMAGE_NOT_DECODED : state;
    }
}

void requestSceneMaps(const aiScene* imported, ImageTable& images) {
    std::vector<std::pair<int, std::string>> topLevels;
    auto requestMap = [&images, &topLevels](int channels, const std::string& path) {
        std::optional<std::string> half = halfMapFile(path);
        images.request(channels, half ? *half : path, half ? HALF_IMAGE : WHOLE_IMAGE);
        if (half)
            topLevels.emplace_back(channels, path);
    };
    for (unsigned m = 0; imported && m < imported->mNumMaterials; ++m) {
        if (std::optional<std::string> diffusePath = diffuseMapPath(*imported->mMaterials[m])) {
            requestMap(DIFFUSE_MAP_COLORS, *diffusePath);
            requestMap(NORMAL_MAP_COLORS, normalMapPath(*diffusePath));
        }
    }
    // Behind every image of the first frame.
    for (const auto& [channels, path] : topLevels)
        images.request(channels, path, TOP_LEVEL_IMAGE);
    images.close();
}
