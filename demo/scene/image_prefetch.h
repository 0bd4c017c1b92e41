// The start-up's images decoded while it does other work: started first thing with the sky's images, given
// the scene's as soon as the scene file check has read the file (`requestSceneMaps`), and decoded by one
// child process per processor, each taking the requests in turn.
#pragma once

#include "app/child_process.h"
#include "scene/image_table.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

struct aiScene;

class ImagePrefetch {
  public:
    // `requests`: (channels, path) pairs as `loadTexture` takes them.
    // Its end stops the decoders, and the levels are gone with it.
    explicit ImagePrefetch(const std::vector<std::pair<int, std::string>>& requests);
    ImagePrefetch(const ImagePrefetch&) = delete;
    ImagePrefetch& operator=(const ImagePrefetch&) = delete;

    // Where further requests go, and where the levels are found.
    ImageTable& table() { return images; }
    // Waits for request `index` to get its outcome; IMAGE_NOT_DECODED where no decoder gives one in time.
    // Meanwhile `work` is called as long as it finds something to do (returns true).
    ImageState await(int index, const std::function<bool()>& work = nullptr);

  private:
    bool decodersLeft();

    ImageTable images;
    std::vector<std::unique_ptr<ChildProcess>> decoders;
};

// Requests the maps that the materials of `imported` name (none where it is null), each by its half-size
// form where it has one and then, behind them all, the top levels of those; and closes the table: no image
// the start-up asks for ahead comes after the scene's.
void requestSceneMaps(const aiScene* imported, ImageTable& images);
