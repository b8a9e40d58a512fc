// Writing the remembered state with large playlists (Windows build, run
// under Wine): the main window holds COUNT images (every other one checked,
// a tenth with Cyrillic, CJK and emoji names) and 100 videos; each run
// collects the state from the window, writes it as text and saves it through
// the safe write into a scratch state folder, as the debounced write does.
// Prints the file's size and, best and median of R runs, the time of each
// step and of the whole write, which is what the window waits for.
//   skyloom-bench-state-write.exe [--runs R] [COUNT]   (default 10000)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "state/state_file.h"
#include "state/state_store.h"
#include "toolkit/application.h"

namespace {

using namespace skyloom;
namespace fs = std::filesystem;

double Now() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::vector<std::wstring> Entries(long count, const wchar_t* folder, const wchar_t* extension) {
  std::vector<std::wstring> entries;
  entries.reserve(static_cast<std::size_t>(count));
  for (long i = 0; i < count; ++i) {
    const wchar_t* name = i % 10 == 0 ? L"Берёза 富士山 🌄 " : L"IMG_";
    entries.push_back(std::wstring(folder) + name + std::to_wstring(i) + extension);
  }
  return entries;
}

struct Times {
  std::vector<double> collect, text, save, total;
};

void Print(const char* step, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("%-28s best %7.2f ms   median %7.2f ms\n", step, ms.front(), ms[ms.size() / 2]);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 21;
  long count = 10000;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
      runs = std::max(1, std::atoi(argv[++i]));
    else
      count = std::max(0L, std::atol(argv[i]));
  }
  TApplication application;
  TMainForm form;
  form.ImageListBox->Assign(Entries(count, L"C:\\Users\\someone\\Pictures\\Holidays 2024\\Beach\\", L".jpg"));
  for (int i = 0; i < form.ImageListBox->Count(); i += 2) form.ImageListBox->SetChecked(i, true);
  form.VideoCheck->Assign(Entries(100, L"D:\\Videos\\Loops\\", L".avi"));

  const fs::path folder = fs::temp_directory_path() / L"skyloom-state-bench";
  fs::create_directories(folder);
  TStateStore store(folder.wstring() + L"\\");
  Times times;
  std::size_t size = 0;
  for (int run = 0; run < runs; ++run) {
    const double start = Now();
    TAppState state;
    form.CollectState(state);
    const double collected = Now();
    const std::string text = WriteStateText(state);
    const double written = Now();
    store.Save(text);
    const double saved = Now();
    times.collect.push_back(collected - start);
    times.text.push_back(written - collected);
    times.save.push_back(saved - written);
    times.total.push_back(saved - start);
    size = text.size();
  }
  std::printf("%ld images, 100 videos: state file %zu bytes (%.1f bytes per entry), %d runs\n", count, size,
              static_cast<double>(size) / static_cast<double>(count + 100), runs);
  Print("collect from the window", times.collect);
  Print("write the text", times.text);
  Print("safe write to the file", times.save);
  Print("whole write (goal < 50 ms)", times.total);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return 0;
}
