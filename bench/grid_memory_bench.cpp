// Peak memory of the thumbnail grid scrolled through 1,000 JPEG entries
// (Windows build, run under Wine): the browser's grid (493 x 454, cells of
// 100 x 100, thumbnails reduced on load) is filled with the given JPEGs in
// turn, shown, and scrolled one row at a time from top to bottom, each
// step painted. Prints the process's peak working set and peak committed
// memory before and after the scroll, and the pictures held at the end.
//   skyloom-bench-grid-memory.exe [--entries N] FILE.jpg...
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "image/image_mview.h"
#include "toolkit/application.h"

namespace {

using namespace skyloom;

void Report(const char* when) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  std::printf("%-14s working set %7.1f MB (peak %7.1f MB), committed %7.1f MB (peak %7.1f MB)\n", when,
              counters.WorkingSetSize / 1048576.0, counters.PeakWorkingSetSize / 1048576.0,
              counters.PagefileUsage / 1048576.0, counters.PeakPagefileUsage / 1048576.0);
}

}  // namespace

int main(int argc, char** argv) {
  int entries = 1000;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--entries") == 0 && i + 1 < argc) {
      entries = std::atoi(argv[++i]);
      continue;
    }
    files.push_back(argv[i]);
  }
  if (files.empty()) {
    std::fprintf(stderr, "usage: skyloom-bench-grid-memory [--entries N] FILE.jpg...\n");
    return 2;
  }
  TApplication application;
  TForm host(L"TSkyloomGridBenchHost", L"grid", WS_POPUP | WS_VISIBLE, 0, 493, 454);
  TImageMView grid(host.Handle(), 0, 0, 493, 454);
  grid.SetScrollBars(TViewScrollBars::ssBoth);
  grid.SetStoreType(TStoreType::ietThumb);
  grid.SetGridWidth(-1);
  Report("start");
  for (int i = 0; i < entries; ++i) grid.SetImageFileName(grid.AppendImage(), files[i % files.size()]);
  grid.SelectImage(0);
  application.ProcessMessages();
  Report("filled");
  const DWORD start = GetTickCount();
  int steps = 0;
  int most = 0;
  for (int y = 0;; y += grid.ThumbHeight() + grid.VertBorder(), ++steps) {
    grid.ScrollTo(0, y);
    RedrawWindow(grid.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    application.ProcessMessages();
    most = std::max(most, grid.PictureCount());
    if (y >= grid.MaxY()) break;
  }
  const DWORD elapsed = GetTickCount() - start;
  Report("scrolled");
  std::printf("%d entries of %zu files, %d columns, %d steps in %lu ms; pictures held: at most %d, at the end %d\n",
              entries, files.size(), grid.Columns(), steps + 1, static_cast<unsigned long>(elapsed), most,
              grid.PictureCount());
  return 0;
}
