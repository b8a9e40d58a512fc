#include "image/image_io.h"

#include <new>
#include <utility>

#include "image/bitmap.h"
#include "image/bitmap_convert.h"
#include "image/codec_table.h"
#include "image/file_formats.h"
#include "image/format_detect.h"
#include "image/metafile_import.h"
#include "image/screen_dpi.h"
#include "toolkit/errors.h"
#include "toolkit/stream.h"

namespace skyloom {
namespace {

struct TExtensionRoute {
  const char* ext;
  std::int32_t fileType;
};

// LoadFromFile's extensions, compared lower-cased in this order.
constexpr TExtensionRoute kReadRoutes[] = {
    {".jpg", ioJPEG}, {".jpeg", ioJPEG}, {".jpe", ioJPEG}, {".png", ioPNG},   {".tif", ioTIFF},
    {".tiff", ioTIFF}, {".pcx", ioPCX},  {".gif", ioGIF},  {".wmf", ioWMF},   {".emf", ioEMF},
    {".bmp", ioBMP},  {".dib", ioBMP},  {".rle", ioBMP},  {".cur", ioCUR},   {".ico", ioICO},
    {".tga", ioTGA},  {".targa", ioTGA}, {".vda", ioTGA}, {".icb", ioTGA},   {".vst", ioTGA},
    {".win", ioTGA},
};

// SaveToFile's extensions.
constexpr TExtensionRoute kWriteRoutes[] = {
    {".jpg", ioJPEG}, {".jpeg", ioJPEG}, {".pcx", ioPCX}, {".gif", ioGIF}, {".tif", ioTIFF},
    {".tiff", ioTIFF}, {".png", ioPNG},  {".bmp", ioBMP}, {".tga", ioTGA},
};

template <std::size_t N>
std::int32_t Route(const TExtensionRoute (&routes)[N], const std::string& ext) {
  for (const auto& route : routes)
    if (ext == route.ext) return route.fileType;
  return ioUnknown;
}

std::string WithoutDot(const std::string& ext) { return ext.empty() ? ext : ext.substr(1); }

}  // namespace

TImageIO::TImageIO() : metafileLoader_(LoadMetafile) { Params.SetDefaultParams(); }

void TImageIO::LeaveView() {
  TImageIOView* old = std::exchange(view_, nullptr);
  if (old) old->IODetached(this);
}

void TImageIO::AttachedBitmap(TBitmap* raster) {
  LeaveView();
  raster_ = raster;
}

void TImageIO::AttachedImageView(TImageIOView* view) {
  if (view == view_) return;
  LeaveView();
  view_ = view;
  raster_ = view_ ? view_->IOBitmap() : nullptr;
  if (view_) view_->IOAttached(this);
}

void TImageIO::SetBackground(TColor colour) {
  background_ = colour;
  if (view_) view_->SetIOBackground(colour);
}

TProgressRec TImageIO::MakeProgress() {
  TProgressRec progress;
  progress.callback = &OnProgress;
  progress.sender = this;
  progress.aborting = &Aborting;
  return progress;
}

void TImageIO::RefreshTarget() {
  // A bare raster is only marked modified; an attached view will take the
  // DPI here and repaint.
  if (raster_) raster_->SetModified(true);
  if (view_) view_->IOLoaded(Params.DpiX, Params.DpiY);
}

namespace {

// Memory refused inside a reader (its scratch, or a library's) is the
// toolkit's out-of-memory error, as for the raster itself, never a raw
// exception of the runtime.
template <typename F>
auto OutOfMemoryAsError(F read) {
  try {
    return read();
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory();
  }
}

}  // namespace

bool TImageIO::RunReader(TStream& stream, TBitmap& raster, std::int32_t fileType, bool paramsOnly,
                         std::int64_t sizeHint) {
  return OutOfMemoryAsError([&] { return RunCodec(stream, raster, fileType, paramsOnly, sizeHint); });
}

bool TImageIO::RunCodec(TStream& stream, TBitmap& raster, std::int32_t fileType, bool paramsOnly,
                        std::int64_t sizeHint) {
  TProgressRec progress = MakeProgress();
  if (const TCodec* codec = BuiltInCodec(fileType)) {
    if (!codec->read) return false;
    if (fileType == ioPNG) Params.PNG_Background = RgbOf(background_);
    codec->read(stream, raster, Params, progress, paramsOnly, sizeHint);
    if (paramsOnly) return true;
    if (fileType == ioPNG) background_ = ColorOf(Params.PNG_Background);
    if (fileType == ioGIF)
      background_ = ColorOf(Params.GIF_FlagTranspColor ? Params.GIF_TranspColor : Params.GIF_Background);
    return true;
  }
  const auto* entry = FileFormats().FindById(fileType, TFileFormats::TNeed::Reader);
  if (!entry) return false;
  entry->ReadFunction(stream, raster, Params, paramsOnly, progress);
  return true;
}

void TImageIO::LoadFromFile(const std::string& path) {
  if (!raster_) return;
  const std::string ext = LowerCase(ExtractFileExt(path));
  const std::int32_t fileType = Route(kReadRoutes, ext);
  if (fileType == ioWMF || fileType == ioEMF) return ImportMetafile(path, -1, -1);
  if (fileType != ioUnknown) return ReadFile(path, fileType);
  ReadByRegistry(path, ext);
}

void TImageIO::ReadFile(const std::string& path, std::int32_t fileType) {
  Aborting = false;
  if (!raster_) return;
  TFileStream stream(path, TFileMode::fmOpenRead);
  if (!RunReader(stream, *raster_, fileType, false, stream.Size())) Aborting = true;
  Params.FileName = path;
  Params.FileType = fileType;
  RefreshTarget();
}

void TImageIO::ReadByRegistry(const std::string& path, const std::string& ext) {
  Aborting = false;
  Params.FileName.clear();
  Params.FileType = ioUnknown;
  const auto* entry = FileFormats().FindByExtension(WithoutDot(ext), TFileFormats::TNeed::Reader);
  if (!entry) {
    Aborting = true;
    return;
  }
  TFileStream stream(path, TFileMode::fmOpenRead);
  TProgressRec progress = MakeProgress();
  OutOfMemoryAsError([&] { entry->ReadFunction(stream, *raster_, Params, false, progress); });
  Params.FileName = path;
  Params.FileType = entry->FileType;
  RefreshTarget();
}

void TImageIO::SaveToFile(const std::string& path) {
  const std::string ext = LowerCase(ExtractFileExt(path));
  const std::int32_t fileType = Route(kWriteRoutes, ext);
  if (fileType != ioUnknown) return WriteFile(path, fileType);
  WriteByRegistry(path, ext);
}

void TImageIO::WriteFile(const std::string& path, std::int32_t fileType) {
  Aborting = false;
  if (!raster_) return;
  const TCodec* codec = BuiltInCodec(fileType);
  if (!codec || !codec->write) {  // no writer for this format: no file either
    Aborting = true;
    return;
  }
  ConvertTo24BitUnlessBinary(*raster_);
  // A writer that fails part-way leaves the old file; one stopped through
  // Aborting leaves what it wrote (headers with zero sizes for BMP).
  WriteFileSafely(path, [&](TStream& stream) {
    TProgressRec progress = MakeProgress();
    codec->write(stream, *raster_, Params, progress);
  });
}

void TImageIO::WriteByRegistry(const std::string& path, const std::string& ext) {
  Aborting = false;
  if (!raster_) return;
  const auto* entry = FileFormats().FindByExtension(WithoutDot(ext), TFileFormats::TNeed::Writer);
  if (!entry) {
    Aborting = true;
    return;
  }
  ConvertTo24BitUnlessBinary(*raster_);
  WriteFileSafely(path, [&](TStream& stream) {
    TProgressRec progress = MakeProgress();
    entry->WriteFunction(stream, *raster_, Params, progress);
  });
}

void TImageIO::LoadFromStream(TStream& stream) {
  Aborting = false;
  if (!raster_) return;
  const std::int64_t position = stream.Position();
  const std::int32_t fileType = FindStreamFormat(stream);
  stream.SetPosition(position);
  ReadStream(stream, fileType);
}

void TImageIO::ReadStream(TStream& stream, std::int32_t fileType) {
  Aborting = false;
  if (!raster_) return;
  if (!RunReader(stream, *raster_, fileType, false, 0)) Aborting = true;
  Params.FileName.clear();
  Params.FileType = fileType;
  RefreshTarget();
}

void TImageIO::ReadParams(TStream& stream, std::int32_t fileType, std::int64_t sizeHint) {
  TBitmap unused;  // readers leave the raster alone with paramsOnly
  RunReader(stream, raster_ ? *raster_ : unused, fileType, true, sizeHint);
}

void TImageIO::ParamsFromFile(const std::string& path) {
  Aborting = false;
  Params.FileType = FindFileFormat(path, true);
  try {
    TFileStream stream(path, TFileMode::fmOpenRead);
    ReadParams(stream, Params.FileType, stream.Size());
  } catch (...) {  // reported as an unknown file, never raised
    Params.FileType = ioUnknown;
  }
  Params.FileName = path;
}

void TImageIO::ParamsFromStream(TStream& stream) {
  Aborting = false;
  try {
    const std::int64_t position = stream.Position();
    Params.FileType = FindStreamFormat(stream);
    stream.SetPosition(position);
    ReadParams(stream, Params.FileType, 0);
  } catch (...) {
    Params.FileType = ioUnknown;
  }
  Params.FileName.clear();
}

void TImageIO::ImportMetafile(const std::string& path, int width, int height) {
  Aborting = false;
  if (width == 0 || height == 0 || !raster_) return;
  { TFileStream probe(path, TFileMode::fmOpenRead); }  // a missing file raises like every loader
  const auto metafile = metafileLoader_ ? metafileLoader_(path) : nullptr;
  if (!metafile || !DrawMetafile(*metafile, width, height, background_, *raster_)) {
    Aborting = true;
    return;
  }
  Params.FileName = path;
  Params.FileType = metafile->Enhanced() ? ioEMF : ioWMF;
  Params.BitsPerSample = 8;
  Params.SamplesPerPixel = 3;
  Params.Width = raster_->Width();
  Params.Height = raster_->Height();
  Params.DpiX = Params.DpiY = ScreenDpi();
  Params.FreeColorMap();
  RefreshTarget();
}

}  // namespace skyloom
