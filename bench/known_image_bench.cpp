// skyloom-bench-known-image: the thumbnail browser's known-image test
// (content recognised and the extension naming the same format) on every
// plain file of a directory, in the order the file system lists them, as the
// browser's refill runs it. Prints the median time of R passes per file and
// how many files passed.
//   skyloom-bench-known-image DIR [--runs R]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "image/format_detect.h"

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  int runs = 7;
  const char* dir = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
      runs = std::max(1, std::atoi(argv[++i]));
    else
      dir = argv[i];
  }
  if (!dir) {
    std::fprintf(stderr, "usage: skyloom-bench-known-image DIR [--runs R]\n");
    return 2;
  }
  std::vector<std::string> paths;
  for (const auto& entry : fs::directory_iterator(dir))
    if (entry.is_regular_file()) paths.push_back(entry.path().string());
  if (paths.empty()) {
    std::fprintf(stderr, "no files in %s\n", dir);
    return 1;
  }
  std::vector<double> times;
  int known = 0;
  for (int run = 0; run < runs; ++run) {
    known = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const auto& path : paths) known += skyloom::FindFileFormat(path, true) != 0;
    times.push_back(std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  const double median = times[times.size() / 2];
  std::printf("known-image test: %zu files, %d pictures; median of %d passes %.2f ms, %.2f us per file\n",
              paths.size(), known, runs, median / 1000.0, median / static_cast<double>(paths.size()));
  return 0;
}
