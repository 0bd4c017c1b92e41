// Decodes image files the way the demo's start-up does (decoders in child processes, started with all
// the requests) and prints one line per file: "decoded WIDTHxHEIGHT LEVELS" or "failed". For the damaged
// image matrix of test_bad_input.py, which runs far more files than the real program could in time.
//   image_decode_check CHANNELS:PATH ...
#include "scene/image_prefetch.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

// At most this many per prefetch, which has room for a start-up's images, not for the whole matrix.
constexpr size_t BATCH = 100;

void decodeBatch(const std::vector<std::pair<int, std::string>>& requests) {
    ImagePrefetch prefetch(requests);
    prefetch.table().close();
    for (const auto& [channels, path] : requests) {
        int index = prefetch.table().find(channels, path);
        ImageLevels image;
        if (prefetch.await(index) == IMAGE_DECODED && prefetch.table().levels(index, image))
            printf("%d:%s decoded %ux%u %u\n", channels, path.c_str(), image.width, image.height,
                   image.levels);
        else
            printf("%d:%s failed\n", channels, path.c_str());
    }
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::pair<int, std::string>> requests;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        size_t colon = argument.find(':');
        if (colon == std::string::npos) {
            fprintf(stderr, "usage: image_decode_check CHANNELS:PATH ...\n");
            return 2;
        }
        requests.emplace_back(std::stoi(argument.substr(0, colon)), argument.substr(colon + 1));
        if (requests.size() == BATCH || i + 1 == argc) {
            decodeBatch(requests);
            requests.clear();
        }
    }
    return 0;
}
