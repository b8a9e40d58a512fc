#include "tests/image/test_files.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <stdexcept>

#include "image/image_io.h"

namespace skyloom::testing_util {

std::string ScratchPath(const std::string& name) {
  static const std::string folder = "skyloom_image_tests_" + std::to_string(std::random_device{}());
  const auto dir = std::filesystem::temp_directory_path() / folder;
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

std::string TestDataPath(const std::string& relative) { return std::string(SKYLOOM_TESTDATA_DIR) + "/" + relative; }

void WriteBytes(const std::string& path, const TBytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TBytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return TBytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Put16(TBytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(TBytes& out, std::uint32_t v) {
  Put16(out, v);
  Put16(out, v >> 16);
}

std::uint16_t Get16(const TBytes& in, std::size_t at) { return static_cast<std::uint16_t>(in.at(at) | (in.at(at + 1) << 8)); }
std::uint32_t Get32(const TBytes& in, std::size_t at) { return Get16(in, at) | (std::uint32_t{Get16(in, at + 2)} << 16); }

TBytes MakeBmp(const TBmpFields& fields) {
  TBytes header;
  if (fields.headerSize == 12) {
    Put32(header, 12);
    Put16(header, static_cast<std::uint32_t>(fields.width));
    Put16(header, static_cast<std::uint32_t>(fields.height));
    Put16(header, 1);
    Put16(header, fields.bitCount);
  } else {
    Put32(header, fields.headerSize);
    Put32(header, static_cast<std::uint32_t>(fields.width));
    Put32(header, static_cast<std::uint32_t>(fields.height));
    Put16(header, 1);
    Put16(header, fields.bitCount);
    Put32(header, fields.compression);
    Put32(header, static_cast<std::uint32_t>(fields.pixels.size()));
    Put32(header, static_cast<std::uint32_t>(fields.pixelsPerMetre));
    Put32(header, static_cast<std::uint32_t>(fields.pixelsPerMetre));
    Put32(header, fields.coloursUsed);
    Put32(header, 0);
    const bool masksInside = fields.headerSize >= 52;
    if (masksInside)
      for (auto m : fields.masks) Put32(header, m);
    header.resize(fields.headerSize, 0);
    if (!masksInside)
      for (auto m : fields.masks) Put32(header, m);
  }
  for (auto c : fields.palette) {
    header.push_back(static_cast<std::uint8_t>(c));
    header.push_back(static_cast<std::uint8_t>(c >> 8));
    header.push_back(static_cast<std::uint8_t>(c >> 16));
    if (fields.headerSize != 12) header.push_back(0);
  }
  header.resize(header.size() + fields.gap, 0xEE);
  TBytes file{'B', 'M'};
  Put32(file, static_cast<std::uint32_t>(14 + header.size() + fields.pixels.size()));
  Put32(file, 0);
  Put32(file, static_cast<std::uint32_t>(14 + header.size()));
  file.insert(file.end(), header.begin(), header.end());
  file.insert(file.end(), fields.pixels.begin(), fields.pixels.end());
  return file;
}

std::uint32_t PixelAt(const TBitmap& raster, int x, int y) {
  const std::uint8_t* row = raster.ScanLine(y);
  if (raster.PixelFormat() == TPixelFormat::pf1bit) return (row[x / 8] & (0x80 >> (x % 8))) ? 0xFFFFFFu : 0u;
  const std::uint8_t* p = row + 3 * x;
  return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
}

TBytes RgbTopDown(const TBitmap& raster) {
  TBytes rgb;
  rgb.reserve(static_cast<std::size_t>(raster.Width()) * static_cast<std::size_t>(raster.Height()) * 3);
  for (int y = 0; y < raster.Height(); ++y)
    for (int x = 0; x < raster.Width(); ++x) {
      const std::uint32_t c = PixelAt(raster, x, y);
      rgb.push_back(static_cast<std::uint8_t>(c >> 16));
      rgb.push_back(static_cast<std::uint8_t>(c >> 8));
      rgb.push_back(static_cast<std::uint8_t>(c));
    }
  return rgb;
}

std::vector<TManifestRow> ReadManifest() {
  std::ifstream in(TestDataPath("MANIFEST.tsv"));
  std::vector<TManifestRow> rows;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#' || line.rfind("path\t", 0) == 0) continue;
    std::vector<std::string> cols;
    std::stringstream ss(line);
    for (std::string col; std::getline(ss, col, '\t');) cols.push_back(col);
    cols.resize(14);
    TManifestRow row{cols[0], cols[1], cols[4], cols[6], cols[10]};
    row.width = cols[2].empty() ? 0 : std::stoi(cols[2]);
    row.height = cols[3].empty() ? 0 : std::stoi(cols[3]);
    rows.push_back(row);
  }
  return rows;
}

TDecodedFile DecodeFile(const std::string& path) {
  TDecodedFile out;
  TImageIO io;
  io.AttachedBitmap(&out.raster);
  io.LoadFromFile(path);
  out.aborting = io.Aborting;
  out.params = io.Params;
  return out;
}

int MaxDifference(const TBytes& a, const TBytes& b) {
  if (a.size() != b.size()) return 256;
  int most = 0;
  for (std::size_t i = 0; i < a.size(); ++i) most = std::max(most, std::abs(a[i] - b[i]));
  return most;
}

bool RunCommand(const std::string& command, TBytes& out) {
#ifdef _WIN32
  (void)command, (void)out;
  return false;
#else
  FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
  if (!pipe) return false;
  out.clear();
  for (int c; (c = std::fgetc(pipe)) != EOF;) out.push_back(static_cast<std::uint8_t>(c));
  return pclose(pipe) == 0;
#endif
}

bool ImageMagickDecode(const std::string& input, const std::string& options, TBytes& out) {
  return RunCommand("convert '" + input + "' " + options, out) && !out.empty();
}

}  // namespace skyloom::testing_util
