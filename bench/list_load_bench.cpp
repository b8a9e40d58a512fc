// Loading a gallery file into the main window's image list (Windows build,
// run under Wine with a display): for each count, a file of that many
// entries is written, then loaded through the window's own command and the
// list painted. Best of R runs per count, and the time per entry, which
// stays flat when the load is linear in the count. The steps apart, best
// of the same runs: reading and splitting the file, converting the entries
// from the code page, filling and painting the list.
//   skyloom-bench-list-load.exe [--runs R] COUNT...
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/list_file.h"
#include "app/main_form.h"
#include "toolkit/application.h"
#include "toolkit/text_win.h"

namespace {

using namespace skyloom;
namespace fs = std::filesystem;

// Milliseconds on the steady clock.
double Now() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Paths of a typical length, all different.
fs::path WriteGallery(long count) {
  const fs::path file = fs::temp_directory_path() / (L"skyloom-list-bench-" + std::to_wstring(count) + L".Gal");
  std::ofstream out(file, std::ios::binary);
  for (long i = 0; i < count; ++i) out << "C:\\Pictures\\Holidays 2019\\Beach\\IMG_" << i << ".jpg\r\n";
  return file;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 3;
  std::vector<long> counts;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
      runs = std::max(1, std::atoi(argv[++i]));
    else
      counts.push_back(std::atol(argv[i]));
  }
  if (counts.empty()) {
    std::fprintf(stderr, "usage: skyloom-bench-list-load [--runs R] COUNT...\n");
    return 2;
  }
  TApplication application;
  TMainForm form;
  application.SetMainWindow(form.Handle());
  ShowWindow(form.Handle(), SW_SHOWNOACTIVATE);
  HWND list = form.ImageListBox->Handle();

  std::printf("%10s %12s %14s %10s %10s %10s\n", "entries", "best ms", "us per entry", "read ms", "convert ms",
              "fill ms");
  for (const long count : counts) {
    const fs::path file = WriteGallery(count);
    double best = 1e300, read = 1e300, convert = 1e300, fill = 1e300;
    auto paint = [&] {
      RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
      GdiFlush();
    };
    for (int run = 0; run < runs; ++run) {
      form.ImageListBox->Clear();
      UpdateWindow(form.Handle());
      double start = Now();
      form.LoadImageList(file.wstring());
      paint();
      best = std::min(best, Now() - start);

      form.ImageListBox->Clear();
      UpdateWindow(form.Handle());
      start = Now();
      const auto bytes = ReadListFile(file.string());
      const auto entries = SplitListFile(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
      const double read_ = Now();
      std::vector<std::wstring> items;
      items.reserve(entries.size());
      for (const auto& entry : entries) items.push_back(FromCodePage(entry));
      const double converted = Now();
      form.ImageListBox->Assign(std::move(items));
      paint();
      read = std::min(read, read_ - start);
      convert = std::min(convert, converted - read_);
      fill = std::min(fill, Now() - converted);
    }
    if (form.ImageListBox->Count() != count) {
      std::fprintf(stderr, "loaded %d entries of %ld\n", form.ImageListBox->Count(), count);
      return 1;
    }
    std::printf("%10ld %12.1f %14.3f %10.1f %10.1f %10.1f\n", count, best, best * 1000.0 / static_cast<double>(count),
                read, convert, fill);
    std::fflush(stdout);
    fs::remove(file);
  }
  return 0;
}
