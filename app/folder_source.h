#pragma once
// Folder rows of the image playlist: a folder's path ending in "\" (its own
// pictures) or in "\**" (with every subfolder's). Entering a folder reads it
// through a directory listing, so that what was added or removed since the
// last pass counts; the content test runs later, one file at a time, as the
// rotation reaches it.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace skyloom {

struct TFolderRow {
  std::string folder;  // ends in the separator "\"
  bool recursive = false;
};

// The folder named by a playlist entry, or nothing for a file entry.
std::optional<TFolderRow> ParseFolderRow(const std::string& entry);
// The playlist entry for a folder ("C:\Pictures" or "C:\Pictures\").
std::string FolderRowText(const std::string& folder, bool recursive);

struct TDirectoryEntry {
  std::string name;
  bool directory = false;
};

// One directory's entries without "." and "..", in any order; nothing when
// the directory is missing or cannot be read. Paths end in "\".
using TListDirectory = std::function<std::optional<std::vector<TDirectoryEntry>>(const std::string& directory)>;

// The folder's files in name order (compared without regard to case), each
// directory's files before its subfolders' when recursive; nothing when the
// folder itself cannot be read. Subfolders that cannot be read are left out.
std::optional<std::vector<std::string>> ListFolderFiles(const TFolderRow& row, const TListDirectory& list);

// Whether a file's content is a picture of a format the program reads.
using TIsPicture = std::function<bool(const std::string& path)>;

// A folder row's files as read elsewhere (off the window's thread): ready,
// missing (the folder cannot be read), or still being read.
struct TFolderFiles {
  enum class TStatus { Ready, Missing, Pending } status = TStatus::Missing;
  std::vector<std::string> files;
};
using TReadFolder = std::function<TFolderFiles(const TFolderRow& row)>;

// What the rotation needs to step through folder rows.
struct TFolderReader {
  TListDirectory list;
  TIsPicture isPicture;
  // Told about a folder row that could not be read (a missing drive).
  std::function<void(const std::string& folder)> unreadable;
  // When set, reads a row's files in place of list; while they are pending
  // the tick stops where it stands, to be run again when they are ready.
  TReadFolder read;
};

}  // namespace skyloom
