// Entering a folder row: the recursive listing in name order and the content
// test up to the first picture, as the rotation does when it reaches the row.
// Natively the listing is POSIX's; built for Windows it is the program's own.
//   skyloom-bench-folder-enter make TEMPLATE_DIR OUT_DIR [COUNT]
//   skyloom-bench-folder-enter enter DIR [RUNS]
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "app/folder_source.h"
#include "image/format_detect.h"
#ifdef _WIN32
#include "app/folder_listing.h"
#else
#include <dirent.h>
#endif

namespace {

// Bytes held by operator new, now and at most, while counting is on.
std::size_t g_now = 0, g_peak = 0;
bool g_counting = false;

}  // namespace

void* operator new(std::size_t size) {
  auto* block = static_cast<std::size_t*>(std::malloc(size + sizeof(std::max_align_t)));
  if (!block) throw std::bad_alloc();
  *block = size;
  if (g_counting) g_peak = std::max(g_peak, g_now += size);
  return reinterpret_cast<char*>(block) + sizeof(std::max_align_t);
}
void operator delete(void* memory) noexcept {
  if (!memory) return;
  auto* block = reinterpret_cast<std::size_t*>(static_cast<char*>(memory) - sizeof(std::max_align_t));
  if (g_counting) g_now -= std::min(g_now, *block);
  std::free(block);
}
void operator delete(void* memory, std::size_t) noexcept { operator delete(memory); }

namespace {

using namespace skyloom;
namespace fs = std::filesystem;

#ifdef _WIN32
std::optional<std::vector<TDirectoryEntry>> List(const std::string& directory) { return ListDirectory(directory); }
std::string HostPath(const std::string& path) { return path; }
std::string RowFolder(const fs::path& path) { return fs::absolute(path).string() + "\\"; }
#else
// The rows' separator is "\"; the host's is "/".
std::string HostPath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}
std::optional<std::vector<TDirectoryEntry>> List(const std::string& directory) {
  DIR* dir = opendir(HostPath(directory).c_str());
  if (!dir) return std::nullopt;
  std::vector<TDirectoryEntry> entries;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    entries.push_back({name, entry->d_type == DT_DIR});
  }
  closedir(dir);
  return entries;
}
std::string RowFolder(const fs::path& path) {
  std::string text = fs::absolute(path).string();
  std::replace(text.begin(), text.end(), '/', '\\');
  return text + "\\";
}
#endif

// Ten folders under the top, four under each, three under those, two under
// those (depth 4); the files go round all of them, in every template's format.
int Make(const fs::path& templates, const fs::path& out, int count) {
  std::vector<fs::path> samples, folders{out};
  for (const auto& entry : fs::directory_iterator(templates)) samples.push_back(entry.path());
  std::sort(samples.begin(), samples.end());
  const int fanOut[] = {10, 4, 3, 2};
  std::vector<fs::path> level{out};
  for (int children : fanOut) {
    std::vector<fs::path> next;
    for (const auto& parent : level)
      for (int i = 0; i < children; ++i) next.push_back(parent / ("d" + std::to_string(i)));
    folders.insert(folders.end(), next.begin(), next.end());
    level = std::move(next);
  }
  for (const auto& folder : folders) fs::create_directories(folder);
  for (int i = 0; i < count; ++i) {
    const auto& sample = samples[static_cast<std::size_t>(i) % samples.size()];
    const auto name = "pic" + std::to_string(i) + sample.extension().string();
    fs::copy_file(sample, folders[static_cast<std::size_t>(i) % folders.size()] / name,
                  fs::copy_options::overwrite_existing);
  }
  std::printf("%d files in %zu folders under %s\n", count, folders.size(), out.string().c_str());
  return 0;
}

int Enter(const fs::path& folder, int runs) {
  const TFolderRow row{RowFolder(folder), true};
  double best = 1e9, window = 0;
  std::size_t files = 0, peak = 0, kept = 0;
  for (int run = 0; run <= runs; ++run) {  // run 0 warms the cache
    g_now = g_peak = 0;
    g_counting = true;
    const auto start = std::chrono::steady_clock::now();
    auto listed = ListFolderFiles(row, List);
    const auto listedAt = std::chrono::steady_clock::now();
    std::size_t first = 0;
    while (listed && first < listed->size() && FindFileFormat(HostPath((*listed)[first]), true) == 0) ++first;
    const auto end = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(end - start).count();
    // The listing runs off the window's thread; the window does the rest.
    if (run > 0) window = std::max(window, std::chrono::duration<double>(end - listedAt).count());
    kept = g_now;
    g_counting = false;
    peak = g_peak;
    files = listed ? listed->size() : 0;
    if (run > 0) best = std::min(best, seconds);
  }
  std::printf("entered %zu files: best of %d warm runs %.3f s, peak %.2f MB while listing, list holds %.2f MB; "
              "window's part (content test up to the first picture) at most %.4f s\n",
              files, runs, best, peak / 1048576.0, kept / 1048576.0, window);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "make" && argc >= 4) return Make(argv[2], argv[3], argc > 4 ? std::atoi(argv[4]) : 10000);
  if (command == "enter" && argc >= 3) return Enter(argv[2], argc > 3 ? std::atoi(argv[3]) : 5);
  std::fprintf(stderr, "usage: %s make TEMPLATE_DIR OUT_DIR [COUNT] | enter DIR [RUNS]\n", argv[0]);
  return 2;
}
