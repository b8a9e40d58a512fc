#pragma once
// TImageIO: reads image files and streams into a raster and writes the
// raster back, choosing the codec by the file's extension or by content.
// After each read Params tells what the file said about the image.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "image/colour.h"
#include "image/file_formats.h"
#include "image/io_params.h"
#include "image/metafile.h"
#include "image/progress.h"

namespace skyloom {

class TBitmap;
class TStream;

enum TMsgLanguage { msSystem, msEnglish, msItalian, msGerman, msSpanish, msFrench, msPortuguese, msGreek, msUser };

using TMetafileLoader = std::function<std::unique_ptr<TMetafile>(const std::string& path)>;

class TImageIO;

// What a view offers the loader (the preview view implements it): its
// raster, which stays the same object for the view's life, the background
// colour, and a refresh after each read. A view that is destroyed detaches
// the loaders still attached to it with AttachedImageView(nullptr).
class TImageIOView {
 public:
  virtual TBitmap* IOBitmap() = 0;
  // After a read: take the file's resolution, repaint and raise the view's
  // image-changed notification.
  virtual void IOLoaded(int dpiX, int dpiY) = 0;
  virtual TColor IOBackground() const = 0;
  virtual void SetIOBackground(TColor colour) = 0;
  virtual void IOAttached(TImageIO*) {}
  virtual void IODetached(TImageIO*) {}

 protected:
  ~TImageIOView() = default;
};

class TImageIO {
 public:
  TImageIO();
  ~TImageIO() { AttachedImageView(nullptr); }
  TImageIO(const TImageIO&) = delete;
  TImageIO& operator=(const TImageIO&) = delete;

  // The raster read into and written from; never owned. Null detaches.
  // Attaching a bare raster leaves any view.
  void AttachedBitmap(TBitmap* raster);
  TBitmap* AttachedBitmap() const { return raster_; }
  // Reads into and writes from the view's raster; null detaches.
  void AttachedImageView(TImageIOView* view);
  TImageIOView* AttachedImageView() const { return view_; }

  // With a view attached, the view's colour.
  TColor Background() const { return view_ ? view_->IOBackground() : background_; }
  void SetBackground(TColor colour);

  TProgressEvent OnProgress;
  bool StreamHeaders = false;  // never set by the application
  TMsgLanguage MsgLanguage = msSystem;
  TIOParamsVals Params;
  // Cleared at the start of every read and write; set when a codec or a
  // progress handler stops the operation or when no codec is found.
  bool Aborting = false;

  // By extension. A file that cannot be opened or created raises the stream
  // layer's error; undecodable content sets Aborting.
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path);
  // By content, from the stream's position.
  void LoadFromStream(TStream& stream);
  // Fills Params from the header alone; never raises.
  void ParamsFromFile(const std::string& path);
  void ParamsFromStream(TStream& stream);

  void LoadFromFileBMP(const std::string& path) { ReadFile(path, ioBMP); }
  void LoadFromFileICO(const std::string& path) { ReadFile(path, ioICO); }
  void LoadFromFileCUR(const std::string& path) { ReadFile(path, ioCUR); }
  void LoadFromFileJPEG(const std::string& path) { ReadFile(path, ioJPEG); }
  void LoadFromFilePNG(const std::string& path) { ReadFile(path, ioPNG); }
  void LoadFromFileTIFF(const std::string& path) { ReadFile(path, ioTIFF); }
  void LoadFromFilePCX(const std::string& path) { ReadFile(path, ioPCX); }
  void LoadFromFileGIF(const std::string& path) { ReadFile(path, ioGIF); }
  void LoadFromFileTGA(const std::string& path) { ReadFile(path, ioTGA); }

  void SaveToFileBMP(const std::string& path) { WriteFile(path, ioBMP); }
  void SaveToFileJPEG(const std::string& path) { WriteFile(path, ioJPEG); }
  void SaveToFilePNG(const std::string& path) { WriteFile(path, ioPNG); }
  void SaveToFileTIFF(const std::string& path) { WriteFile(path, ioTIFF); }
  void SaveToFilePCX(const std::string& path) { WriteFile(path, ioPCX); }
  void SaveToFileGIF(const std::string& path) { WriteFile(path, ioGIF); }
  void SaveToFileTGA(const std::string& path) { WriteFile(path, ioTGA); }

  void LoadFromStreamBMP(TStream& stream) { ReadStream(stream, ioBMP); }
  void LoadFromStreamICO(TStream& stream) { ReadStream(stream, ioICO); }
  void LoadFromStreamCUR(TStream& stream) { ReadStream(stream, ioCUR); }
  void LoadFromStreamJPEG(TStream& stream) { ReadStream(stream, ioJPEG); }
  void LoadFromStreamPNG(TStream& stream) { ReadStream(stream, ioPNG); }
  void LoadFromStreamTIFF(TStream& stream) { ReadStream(stream, ioTIFF); }
  void LoadFromStreamPCX(TStream& stream) { ReadStream(stream, ioPCX); }
  void LoadFromStreamGIF(TStream& stream) { ReadStream(stream, ioGIF); }
  void LoadFromStreamTGA(TStream& stream) { ReadStream(stream, ioTGA); }

  // ".wmf"/".emf" at a target size; -1 for a side that follows from the
  // other side and the picture's proportions (both -1: natural size).
  void ImportMetafile(const std::string& path, int width, int height);
  // Replaces the platform's metafile loader (tests, other renderers).
  void SetMetafileLoader(TMetafileLoader loader) { metafileLoader_ = std::move(loader); }

 private:
  TProgressRec MakeProgress();
  void ReadFile(const std::string& path, std::int32_t fileType);
  void WriteFile(const std::string& path, std::int32_t fileType);
  void ReadStream(TStream& stream, std::int32_t fileType);
  // Runs the built-in codec or registered reader of the id; false if none.
  bool RunReader(TStream& stream, TBitmap& raster, std::int32_t fileType, bool paramsOnly, std::int64_t sizeHint);
  bool RunCodec(TStream& stream, TBitmap& raster, std::int32_t fileType, bool paramsOnly, std::int64_t sizeHint);
  void ReadByRegistry(const std::string& path, const std::string& ext);
  void WriteByRegistry(const std::string& path, const std::string& ext);
  void ReadParams(TStream& stream, std::int32_t fileType, std::int64_t sizeHint);
  // After a file read: DPI to the view (when one is attached) and refresh.
  void RefreshTarget();

  void LeaveView();

  TBitmap* raster_ = nullptr;
  TImageIOView* view_ = nullptr;
  TColor background_ = 0;
  TMetafileLoader metafileLoader_;
};

}  // namespace skyloom
