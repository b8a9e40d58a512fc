#pragma once
// The file system behind folder rows: a directory's plain files and
// subfolders, and the browser's content test for pictures.
#include "app/folder_source.h"

namespace skyloom {

// Hidden and system entries are left out as in the browser, and so are
// linked folders (junctions), which could lead back up the tree.
std::optional<std::vector<TDirectoryEntry>> ListDirectory(const std::string& directory);

// A file whose content is a picture of the format its extension names.
bool IsPictureFile(const std::string& path);

// The reader the main window's rotation steps through folder rows with.
TFolderReader FileSystemFolderReader(std::function<void(const std::string& folder)> unreadable);

}  // namespace skyloom
