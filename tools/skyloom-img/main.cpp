// skyloom-img: the image engine on the command line.
//   info FILE
//   convert IN OUT [--resize WxH] [--filter NAME|0..6] [--index N]
//   decode IN OUT.ppm [--index N]
//   wallpaper IN... OUT.bmp (--desktop WxH | --monitors LAYOUT) [--fit NAME]
//             [--per-monitor] [--filter NAME|0..6] [--threads N]
//   thumbnail FILE... --size WxH --out DIR
// Exit codes: 0 done, 1 the engine set Aborting (thumbnail: some file was
// skipped), 2 usage, 3 file error.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "image/bitmap.h"
#include "image/bitmap_convert.h"
#include "image/desktop_fit.h"
#include "image/file_formats.h"
#include "image/image_io.h"
#include "image/image_proc.h"
#include "image/monitor_layout.h"
#include "image/resample_stripes.h"
#include "image/thumbnail_load.h"
#include "toolkit/errors.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

constexpr int kDone = 0, kAborted = 1, kUsage = 2, kFileError = 3;

constexpr const char* kUsageText =
    "usage: skyloom-img info FILE\n"
    "       skyloom-img convert IN OUT [--resize WxH] [--filter NAME|0..6] [--index N]\n"
    "       skyloom-img decode IN OUT.ppm [--index N]\n"
    "       skyloom-img wallpaper IN... OUT.bmp (--desktop WxH | --monitors LAYOUT) [--fit NAME]\n"
    "                 [--per-monitor] [--filter NAME|0..6] [--threads N]\n"
    "       skyloom-img thumbnail FILE... --size WxH --out DIR\n"
    "filters: None Triangle Hermite Bell BSpline Lanczos3 Mitchell\n"
    "threads: 1..8 resampling threads (default: as many as the machine has, up to 8)\n"
    "fits: fit fill stretch centre tile span (default fit)\n"
    "monitors: WxH+X+Y,... in desktop pixels, the primary at +0+0 (e.g. 1920x1080+0+0,1280x1024-1280+56);\n"
    "  monitor n shows the n-th IN in turn; several monitors give one tiled bitmap, or with --per-monitor\n"
    "  OUT-1.bmp, OUT-2.bmp, ... one per monitor\n";

// A command line that cannot be understood.
struct TUsageError {
  std::string message;
};

struct TSize2 {
  int width = 0;
  int height = 0;
};

struct TCommand {
  std::string verb;
  std::vector<std::string> files;
  std::optional<TSize2> resize, desktop, thumbSize;
  std::optional<TMonitorLayout> monitors;
  TWallpaperFit fit = TWallpaperFit::wfFit;
  bool perMonitor = false;
  std::string outDir;
  TResampleFilter filter = rfBell;  // the application's start-up choice
  std::optional<int> index;
  int threads = 0;  // the machine decides
};

int ParseInt(const std::string& text, const char* what) {
  std::size_t used = 0;
  int value = 0;
  try {
    value = std::stoi(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size()) throw TUsageError{std::string("bad ") + what + ": " + text};
  return value;
}

TSize2 ParseSize(const std::string& text) {
  const auto x = text.find_first_of("xX");
  if (x == std::string::npos) throw TUsageError{"bad size (WxH expected): " + text};
  const TSize2 size{ParseInt(text.substr(0, x), "width"), ParseInt(text.substr(x + 1), "height")};
  if (size.width < 1 || size.height < 1) throw TUsageError{"sizes must be positive: " + text};
  return size;
}

TResampleFilter ParseFilter(const std::string& text) {
  static const std::map<std::string, TResampleFilter> names = {
      {"none", rfNone},       {"triangle", rfTriangle}, {"hermite", rfHermite}, {"bell", rfBell},
      {"bspline", rfBSpline}, {"lanczos3", rfLanczos3}, {"mitchell", rfMitchell}};
  const auto it = names.find(LowerCase(text));
  if (it != names.end()) return it->second;
  const int ordinal = ParseInt(text, "filter");
  if (ordinal < 0 || ordinal > 6) throw TUsageError{"filter out of range: " + text};
  return static_cast<TResampleFilter>(ordinal);
}

int ParseThreads(const std::string& text) {
  const int threads = ParseInt(text, "thread count");
  if (threads < 1 || threads > kMaxResampleThreads) throw TUsageError{"threads must be 1..8: " + text};
  return threads;
}

TWallpaperFit ParseFit(const std::string& text) {
  const auto fit = FitFromName(text);
  if (!fit) throw TUsageError{"unknown fit: " + text};
  return *fit;
}

TMonitorLayout ParseMonitors(const std::string& text) {
  try {
    return ParseMonitorLayout(text);
  } catch (const std::invalid_argument& e) {
    throw TUsageError{e.what()};
  }
}

TCommand ParseCommand(int argc, char** argv) {
  if (argc < 2) throw TUsageError{"no command"};
  TCommand cmd;
  cmd.verb = argv[1];
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg.rfind("--", 0) != 0) {
      cmd.files.push_back(arg);
      continue;
    }
    if (arg == "--per-monitor" && cmd.verb == "wallpaper") {
      cmd.perMonitor = true;
      continue;
    }
    if (!hasValue) throw TUsageError{"missing value after " + arg};
    const std::string value = argv[++i];
    if (arg == "--resize" && cmd.verb == "convert")
      cmd.resize = ParseSize(value);
    else if (arg == "--desktop" && cmd.verb == "wallpaper")
      cmd.desktop = ParseSize(value);
    else if (arg == "--filter" && (cmd.verb == "convert" || cmd.verb == "wallpaper"))
      cmd.filter = ParseFilter(value);
    else if (arg == "--index" && (cmd.verb == "convert" || cmd.verb == "decode"))
      cmd.index = ParseInt(value, "index");
    else if (arg == "--monitors" && cmd.verb == "wallpaper")
      cmd.monitors = ParseMonitors(value);
    else if (arg == "--fit" && cmd.verb == "wallpaper")
      cmd.fit = ParseFit(value);
    else if (arg == "--threads" && cmd.verb == "wallpaper")
      cmd.threads = ParseThreads(value);
    else if (arg == "--size" && cmd.verb == "thumbnail")
      cmd.thumbSize = ParseSize(value);
    else if (arg == "--out" && cmd.verb == "thumbnail")
      cmd.outDir = value;
    else
      throw TUsageError{"unknown option for " + cmd.verb + ": " + arg};
  }
  if (cmd.verb == "thumbnail") {
    if (cmd.files.empty()) throw TUsageError{"thumbnail needs at least one file"};
    if (!cmd.thumbSize || cmd.outDir.empty()) throw TUsageError{"thumbnail needs --size WxH and --out DIR"};
    return cmd;
  }
  const std::size_t wanted = cmd.verb == "info" ? 1 : 2;
  if (cmd.verb != "info" && cmd.verb != "convert" && cmd.verb != "decode" && cmd.verb != "wallpaper")
    throw TUsageError{"unknown command: " + cmd.verb};
  const bool several = cmd.verb == "wallpaper" && cmd.files.size() > wanted;
  if (cmd.files.size() != wanted && !several) throw TUsageError{"wrong number of file arguments"};
  if (cmd.verb == "wallpaper" && !cmd.desktop == !cmd.monitors)
    throw TUsageError{"wallpaper needs --desktop WxH or --monitors LAYOUT"};
  if (several && !cmd.perMonitor && cmd.fit == TWallpaperFit::wfFit && (!cmd.monitors || cmd.monitors->size() == 1))
    throw TUsageError{"one monitor fitted as \"fit\" takes one picture"};
  return cmd;
}

// Loads by extension into the raster; answers false when the engine aborted.
bool Load(TImageIO& io, TBitmap& raster, const TCommand& cmd) {
  io.AttachedBitmap(&raster);
  if (cmd.index) io.Params.ICO_ImageIndex = io.Params.GIF_ImageIndex = io.Params.TIFF_ImageIndex = *cmd.index;
  io.LoadFromFile(cmd.files[0]);
  if (io.Aborting) std::fprintf(stderr, "skyloom-img: %s: cannot decode\n", cmd.files[0].c_str());
  return !io.Aborting;
}

bool Resample(TBitmap& raster, int width, int height, TResampleFilter filter, int threads = 0) {
  TImageProc proc;
  proc.AutoUndo = false;
  proc.Threads = threads;
  proc.AttachedBitmap(&raster);
  proc.Resample(width, height, filter);
  return !proc.Aborting;
}

int RunInfo(const TCommand& cmd) {
  TImageIO io;
  TBitmap raster;
  if (!Load(io, raster, cmd)) return kAborted;
  const TIOParamsVals& p = io.Params;
  const auto* entry = FileFormats().FindById(p.FileType);
  std::printf("format: %d %s\n", p.FileType, entry ? entry->Description.c_str() : "unknown");
  std::printf("width: %d\nheight: %d\n", p.Width, p.Height);
  std::printf("bits per sample: %d\nsamples per pixel: %d\n", p.BitsPerSample, p.SamplesPerPixel);
  std::printf("dpi: %d x %d\n", p.DpiX, p.DpiY);
  return kDone;
}

int RunConvert(const TCommand& cmd) {
  TImageIO io;
  TBitmap raster;
  if (!Load(io, raster, cmd)) return kAborted;
  if (cmd.resize && !Resample(raster, cmd.resize->width, cmd.resize->height, cmd.filter)) return kAborted;
  io.SaveToFile(cmd.files[1]);  // by OUT's extension, with the parameters the read left
  if (io.Aborting) std::fprintf(stderr, "skyloom-img: %s: cannot write this format\n", cmd.files[1].c_str());
  return io.Aborting ? kAborted : kDone;
}

// A binary PPM (P6, 8 bits, top row first); 1-bit pixels as 0 or 255.
void WritePpm(const TBitmap& raster, const std::string& path) {
  TFileStream out(path, TFileMode::fmCreate);
  const std::string header = "P6\n" + std::to_string(raster.Width()) + " " + std::to_string(raster.Height()) + "\n255\n";
  out.WriteBuffer(header.data(), header.size());
  std::vector<std::uint8_t> row(static_cast<std::size_t>(raster.Width()) * 3);
  for (int y = 0; y < raster.Height(); ++y) {
    const std::uint8_t* src = raster.ScanLine(y);
    for (int x = 0; x < raster.Width(); ++x) {
      std::uint8_t* dst = row.data() + 3 * static_cast<std::size_t>(x);
      if (raster.PixelFormat() == TPixelFormat::pf1bit) {
        dst[0] = dst[1] = dst[2] = (src[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
      } else {
        dst[0] = src[3 * x + 2];
        dst[1] = src[3 * x + 1];
        dst[2] = src[3 * x];
      }
    }
    out.WriteBuffer(row.data(), row.size());
  }
}

int RunDecode(const TCommand& cmd) {
  TImageIO io;
  TBitmap raster;
  if (!Load(io, raster, cmd)) return kAborted;
  WritePpm(raster, cmd.files[1]);
  return kDone;
}

// The application's preparation path: load, fit to the desktop, resample,
// write the bitmap file.
int RunFittedPicture(const TCommand& cmd, const TMonitorRect& screen) {
  TImageIO io;
  TBitmap raster;
  if (!Load(io, raster, cmd)) return kAborted;
  const TSize fit = FitToDesktopSize(raster.Width(), raster.Height(), screen.width, screen.height);
  if (!Resample(raster, fit.width, fit.height, cmd.filter, cmd.threads)) return kAborted;
  io.SaveToFileBMP(cmd.files[1]);
  return io.Aborting ? kAborted : kDone;
}

// A 24-bit raster as a plain BMP file.
void SaveBmp(TBitmap& raster, const std::string& path) {
  TImageIO writer;
  writer.Params.BitsPerSample = 8;
  writer.Params.SamplesPerPixel = 3;
  writer.AttachedBitmap(&raster);
  writer.SaveToFileBMP(path);
  if (writer.Aborting) throw EWriteError("cannot write " + path);
}

// Every monitor's screen, as the application prepares them: the pictures
// in turn, each on the background sampled at (1, 1).
int RunLayout(const TCommand& cmd, const TMonitorLayout& layout, TWallpaperOutput output) {
  const std::vector<std::string> inputs(cmd.files.begin(), cmd.files.end() - 1);
  std::vector<TBitmap> pictures(inputs.size());
  std::vector<TScreenPicture> shown;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    TImageIO io;
    TCommand one = cmd;
    one.files = {inputs[i]};
    if (!Load(io, pictures[i], one)) return kAborted;
    shown.push_back({&pictures[i], SampleBackground(pictures[i], 0, 0)});
  }
  TFitRequest request;
  request.fit = cmd.fit;
  request.filter = cmd.filter;
  request.threads = cmd.threads;
  std::vector<TBitmap> screens;
  if (!RenderForMonitors(shown, layout, request, screens)) return kAborted;
  const std::string& out = cmd.files.back();
  if (output == TWallpaperOutput::woPerMonitor) {
    for (std::size_t i = 0; i < screens.size(); ++i) SaveBmp(screens[i], MonitorFileName(out, i));
    return kDone;
  }
  TBitmap bitmap = output == TWallpaperOutput::woTiled ? ComposeTiled(screens, layout) : std::move(screens[0]);
  SaveBmp(bitmap, out);
  return kDone;
}

int RunWallpaper(const TCommand& cmd) {
  const TMonitorLayout layout =
      cmd.monitors ? *cmd.monitors : TMonitorLayout{{0, 0, cmd.desktop->width, cmd.desktop->height}};
  const TWallpaperOutput output = ChooseOutput(cmd.fit, layout.size(), cmd.perMonitor);
  if (output == TWallpaperOutput::woFittedPicture) return RunFittedPicture(cmd, layout[0]);
  return RunLayout(cmd, layout, output);
}

// The picture the thumbnail grid keeps for a file, always written at 24 bits.
void SaveThumbnail(const TBitmap& thumb, const std::string& path) {
  TBitmap out = Copy24Bit(thumb);
  SaveBmp(out, path);
}

// One file: false (reported) when it cannot be read, decoded or written.
bool MakeThumbnail(TImageIO& io, const std::string& file, const TCommand& cmd) {
  const std::string out = (std::filesystem::path(cmd.outDir) / std::filesystem::path(file).stem()).string() + ".bmp";
  try {
    TBitmap thumb;
    if (!LoadThumbnail(io, file, cmd.thumbSize->width, cmd.thumbSize->height, thumb)) {
      std::fprintf(stderr, "skyloom-img: %s: cannot decode\n", file.c_str());
      return false;
    }
    SaveThumbnail(thumb, out);
    return true;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skyloom-img: %s: %s\n", file.c_str(), e.what());
    return false;
  }
}

// One loader for all files, as the grid keeps one.
int RunThumbnail(const TCommand& cmd) {
  TImageIO io;
  bool all = true;
  for (const std::string& file : cmd.files) all = MakeThumbnail(io, file, cmd) && all;
  return all ? kDone : kAborted;
}

int Run(const TCommand& cmd) {
  if (cmd.verb == "thumbnail") return RunThumbnail(cmd);
  if (cmd.verb == "info") return RunInfo(cmd);
  if (cmd.verb == "convert") return RunConvert(cmd);
  if (cmd.verb == "decode") return RunDecode(cmd);
  return RunWallpaper(cmd);
}

}  // namespace
}  // namespace skyloom

int main(int argc, char** argv) {
  using namespace skyloom;
  TCommand cmd;
  try {
    cmd = ParseCommand(argc, argv);
  } catch (const TUsageError& e) {
    std::fprintf(stderr, "skyloom-img: %s\n%s", e.message.c_str(), kUsageText);
    return kUsage;
  }
  try {
    return Run(cmd);
  } catch (const std::exception& e) {  // the stream layer's open, create, read and write errors
    std::fprintf(stderr, "skyloom-img: %s\n", e.what());
    return kFileError;
  }
}
