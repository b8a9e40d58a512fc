// The thumbnail browser on a directory the caller made (Windows build, run
// under Wine with a display), median of R runs, each starting from an empty
// directory so that nothing is held from the run before:
// - refill: the directory change on the main thread (enumeration, the
//   known-image test on every file, the grid's entries, one layout);
// - first screen: painting the grid right after, which decodes and draws
//   every visible thumbnail.
// The visible files go to --list (one path a line) for a peer to make the
// same thumbnails. For comparison, the grid alone is filled with the same
// names with a layout after every entry and with one layout.
//   skyloom-bench-browser-refill.exe [--runs R] [--list FILE] DIR
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
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

}  // namespace

int main(int argc, char** argv) {
  int runs = 5;
  std::string listFile, dirArg;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
      runs = std::max(1, std::atoi(argv[++i]));
    else if (std::strcmp(argv[i], "--list") == 0 && i + 1 < argc)
      listFile = argv[++i];
    else
      dirArg = argv[i];
  }
  const std::wstring dir = NormalizeDirectory(Widen(dirArg));
  if (dirArg.empty() || !fs::is_directory(dir)) {
    std::fprintf(stderr, "usage: skyloom-bench-browser-refill [--runs R] [--list FILE] DIR\n");
    return 2;
  }
  // An empty directory beside the system's temporary ones.
  const fs::path empty = fs::temp_directory_path() / L"skyloom-refill-bench-empty";
  fs::create_directories(empty);

  TApplication application;
  TMainForm mainForm;
  application.SetMainWindow(mainForm.Handle());
  Tthumbform browser(mainForm);
  browser.FormActivate(&browser);
  ShowWindow(browser.Handle(), SW_SHOWNOACTIVATE);
  auto& list = *browser.DirectoryListBox1;
  auto& grid = *browser.ImageMView1;

  std::vector<double> refills, paints;
  for (int run = 0; run < runs; ++run) {
    list.SetDirectory(empty.wstring());
    UpdateWindow(grid.Handle());
    const double start = Now();
    list.SetDirectory(dir);
    const double refilled = Now();
    RedrawWindow(grid.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    GdiFlush();
    refills.push_back(refilled - start);
    paints.push_back(Now() - refilled);
  }
  const int shown = grid.ImageCount();
  std::vector<std::string> visible;
  for (int i = 0; i < shown; ++i)
    if (grid.VisibilityOf(i) > 0) visible.push_back(grid.GetImageFileName(i));
  if (!listFile.empty()) {
    std::ofstream out(fs::path(Widen(listFile)));
    for (const auto& name : visible) out << name << '\n';
  }

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

  std::printf("%d entries shown, %zu thumbnails on the first screen; medians of %d runs:\n", shown, visible.size(),
              runs);
  std::printf("refill %.1f ms (best %.1f), first screen painted %.1f ms (best %.1f), both %.1f ms\n",
              Median(refills), *std::min_element(refills.begin(), refills.end()), Median(paints),
              *std::min_element(paints.begin(), paints.end()), Median(refills) + Median(paints));
  std::printf("grid entries alone: %.1f ms with a layout per entry, %.1f ms with one layout\n", unlocked, locked);
  // The list made the directory the current one, which would keep it from
  // being removed by the caller.
  SetCurrentDirectoryW(fs::temp_directory_path().c_str());
  return 0;
}
