#pragma once
#include <map>
#include <string>
#include <vector>

#include "app/folder_source.h"

namespace skyloom::testing {

// Directories held in memory: paths end in "\", subfolders are the keys
// below them. A file named "*.txt" is not a picture.
struct FakeFolders {
  std::map<std::string, std::vector<std::string>> files;  // directory -> file names
  int listings = 0;
  std::vector<std::string> unreadable;

  TFolderReader Reader() {
    return {[this](const std::string& directory) { return List(directory); },
            [](const std::string& path) { return !path.ends_with(".txt"); },
            [this](const std::string& folder) { unreadable.push_back(folder); }};
  }

  std::optional<std::vector<TDirectoryEntry>> List(const std::string& directory) {
    ++listings;
    const auto it = files.find(directory);
    if (it == files.end()) return std::nullopt;
    std::vector<TDirectoryEntry> entries;
    for (const auto& name : it->second) entries.push_back({name, false});
    for (const auto& [path, unused] : files) {
      const bool child = path.size() > directory.size() && path.starts_with(directory) &&
                         path.find('\\', directory.size()) == path.size() - 1;
      if (child) entries.push_back({path.substr(directory.size(), path.size() - directory.size() - 1), true});
    }
    return entries;
  }
};

}  // namespace skyloom::testing
