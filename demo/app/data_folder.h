// Where the demo finds its files. It opens them relative to the working directory ("shader/...",
// "../models/..."), so it runs in its data folder: one that holds shader/ and has models/ beside it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

bool holdsDemoData(const std::filesystem::path& folder);

// The folders tried when the working directory is not a data folder, in order: the installed one, found
// from the executable's own path, then the demo/ folder of the source tree the program was built from.
std::vector<std::filesystem::path> dataFolderCandidates(const std::filesystem::path& executable);

// Changes into the data folder: `chosen` when given; otherwise the working directory when it is one, or
// else the first candidate that is. False, after one line on standard error naming the folders tried, when
// none is.
bool enterDataFolder(const std::string& chosen);
