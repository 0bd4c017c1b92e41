#include "app/data_folder.h"

#include <cstdio>
#include <system_error>

namespace fs = std::filesystem;

namespace {

fs::path runningExecutable() {
    std::error_code error;
    fs::path executable = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : executable;
}

std::string listed(const std::vector<fs::path>& folders) {
    std::string text;
    for (const fs::path& folder : folders)
        text += (text.empty() ? "" : ", ") + folder.string();
    return text;
}

} // namespace

bool holdsDemoData(const fs::path& folder) {
    std::error_code error;
    return fs::is_directory(folder / "shader", error) && fs::is_directory(folder / ".." / "models", error);
}

std::vector<fs::path> dataFolderCandidates(const fs::path& executable) {
    std::vector<fs::path> candidates;
    if (!executable.empty())
        candidates.push_back((executable.parent_path() / INSTALLED_DATA_FROM_BINARY).lexically_normal());
    candidates.push_back(fs::path(SOURCE_DATA_FOLDER).lexically_normal());
    return candidates;
}

bool enterDataFolder(const std::string& chosen) {
    std::error_code error;
    std::vector<fs::path> tried = {chosen};
    if (chosen.empty()) {
        tried = dataFolderCandidates(runningExecutable());
        tried.insert(tried.begin(), fs::current_path(error));
    }
    for (const fs::path& folder : tried) {
        if (holdsDemoData(folder)) {
            fs::current_path(folder, error);
            if (!error)
                return true;
        }
    }
    fprintf(stderr, "No data folder (shader/ inside, models/ beside it) in %s; name one with --data DIR\n",
            listed(tried).c_str());
    return false;
}
