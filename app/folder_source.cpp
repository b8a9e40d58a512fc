#include "app/folder_source.h"

#include <algorithm>
#include <cctype>

namespace skyloom {
namespace {

constexpr char kRecursiveMark[] = "\\**";

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](unsigned char x, unsigned char y) {
    return std::tolower(x) < std::tolower(y);
  });
}

// Subfolders deeper than this are not entered: a link that loops back must
// not hold the rotation.
constexpr int kDeepest = 32;

bool AddDirectory(const std::string& directory, bool recursive, int depth, const TListDirectory& list,
                  std::vector<std::string>& files) {
  auto entries = list(directory);
  if (!entries) return false;
  std::vector<std::string> names, folders;
  for (auto& entry : *entries) (entry.directory ? folders : names).push_back(std::move(entry.name));
  std::sort(names.begin(), names.end(), LessIgnoringCase);
  for (const auto& name : names) files.push_back(directory + name);
  if (!recursive || depth >= kDeepest) return true;
  std::sort(folders.begin(), folders.end(), LessIgnoringCase);
  for (const auto& name : folders) AddDirectory(directory + name + "\\", true, depth + 1, list, files);
  return true;
}

}  // namespace

std::optional<TFolderRow> ParseFolderRow(const std::string& entry) {
  if (entry.ends_with(kRecursiveMark)) return TFolderRow{entry.substr(0, entry.size() - 2), true};
  if (entry.ends_with('\\')) return TFolderRow{entry, false};
  return std::nullopt;
}

std::string FolderRowText(const std::string& folder, bool recursive) {
  std::string text = folder;
  if (!text.ends_with('\\')) text += '\\';
  return recursive ? text + "**" : text;
}

std::optional<std::vector<std::string>> ListFolderFiles(const TFolderRow& row, const TListDirectory& list) {
  std::vector<std::string> files;
  if (!list || !AddDirectory(row.folder, row.recursive, 0, list, files)) return std::nullopt;
  return files;
}

}  // namespace skyloom
