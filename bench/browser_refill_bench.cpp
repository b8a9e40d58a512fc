// Refill time of the thumbnail browser (Windows build, run under Wine): the
// given pictures are copied round-robin into a scratch directory of N files
// (1,000 by default), and the browser's directory change is timed on the
// main thread: enumeration, the known-image test on every file and the
// grid's entries, one layout at the end. For comparison, the grid alone is
// filled with the same names with a layout after every entry, as it did
// before its update lock.
//   skyloom-bench-browser-refill.exe [--files N] [--runs R] PICTURE...
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "app/thumb_form.h"
#include "toolkit/application.h"
#include "toolkit/text_win.h"

namespace {

using namespace skyloom;
namespace fs = std::filesystem;

double Now() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

fs::path MakeDirectory(const std::vector<fs::path>& pictures, int files) {
  const fs::path dir = fs::temp_directory_path() / L"skyloom-refill-bench";
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  fs::create_directories(dir / L"empty");
  for (int i = 0; i < files; ++i) {
    const auto& source = pictures[static_cast<std::size_t>(i) % pictures.size()];
    const fs::path target = dir / (std::to_wstring(10000 + i) + source.extension().wstring());
    fs::copy_file(source, target, fs::copy_options::overwrite_existing);
  }
  return dir;
}

}  // namespace

int main(int argc, char** argv) {
  int files = 1000, runs = 5;
  std::vector<fs::path> pictures;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--files") == 0 && i + 1 < argc) {
      files = std::atoi(argv[++i]);
    } else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else {
      pictures.push_back(fs::path(Widen(argv[i])));
    }
  }
  if (pictures.empty() || files <= 0) {
    std::fprintf(stderr, "usage: skyloom-bench-browser-refill [--files N] [--runs R] PICTURE...\n");
    return 2;
  }
  fs::path dir;
  try {
    dir = MakeDirectory(pictures, files);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "cannot make the scratch directory: %s\n", error.what());
    return 1;
  }

  TApplication application;
  TMainForm mainForm;
  application.SetMainWindow(mainForm.Handle());
  Tthumbform browser(mainForm);
  auto& list = *browser.DirectoryListBox1;
  auto& grid = *browser.ImageMView1;

  std::vector<double> refills;
  for (int run = 0; run < runs; ++run) {
    list.SetDirectory((dir / L"empty").wstring());
    const double start = Now();
    list.SetDirectory(dir.wstring());
    refills.push_back(Now() - start);
  }
  const int shown = grid.ImageCount();

  // The grid alone: the same names, appended with and without the lock.
  std::vector<std::string> names;
  for (int i = 0; i < shown; ++i) names.push_back(grid.GetImageFileName(i));
  auto fill = [&](bool locked) {
    grid.ClearImages();
    const double start = Now();
    if (locked) grid.BeginUpdate();
    for (const auto& name : names) grid.SetImageFileName(grid.AppendImage(), name);
    if (locked) grid.EndUpdate();
    return Now() - start;
  };
  const double unlocked = fill(false);
  const double locked = fill(true);

  std::printf("%d files (%zu pictures round-robin), %d shown; refill: median %.1f ms, best %.1f ms of %d runs\n",
              files, pictures.size(), shown, Median(refills), *std::min_element(refills.begin(), refills.end()), runs);
  std::printf("grid entries alone: %.1f ms with a layout per entry, %.1f ms with one layout\n", unlocked, locked);
  // The list made the scratch directory the current one, which would keep
  // it from being removed.
  SetCurrentDirectoryW(fs::temp_directory_path().c_str());
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  return 0;
}
